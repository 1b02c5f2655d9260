#include "link/protocol/RcxPacket.h"

#include "link/protocol/RcxBrick.h"

namespace rcx {

namespace {

std::uint8_t at(const QByteArray& b, int i) { return std::uint8_t(b[i]); }

// Reads dataLength data pairs and the checksum pair at i; nullopt when the
// bytes run out or don't pair up, with ok false when they are wrong.
std::optional<Unframed> pairsAt(const QByteArray& bytes, int i, int dataLength, bool& wrong)
{
    wrong = false;
    QByteArray data;
    int p = i;
    while (true) {
        if (p + 1 >= bytes.size())
            return std::nullopt;
        const std::uint8_t b = at(bytes, p);
        if (std::uint8_t(~b) != at(bytes, p + 1)) {
            // A variable-length packet ends at its last good pair.
            if (dataLength < 0 && data.size() >= 2)
                break;
            wrong = true;
            return std::nullopt;
        }
        data.append(char(b));
        p += 2;
        if (dataLength >= 0 && data.size() == dataLength + 1)
            break;
    }
    if (dataLength < 0)
        p -= 2;  // the last pair read was the checksum
    const std::uint8_t sum = std::uint8_t(data.back());
    data.chop(1);
    if (checksum(data) != sum || data.isEmpty()) {
        wrong = true;
        return std::nullopt;
    }
    return Unframed{data, dataLength < 0 ? p + 2 : p};
}

}  // namespace

std::uint8_t checksum(const QByteArray& data)
{
    std::uint8_t sum = 0;
    for (char c : data)
        sum = std::uint8_t(sum + std::uint8_t(c));
    return sum;
}

QByteArray frame(const QByteArray& data)
{
    QByteArray out;
    out.reserve(3 + 2 * data.size() + 2);
    out.append(char(0x55));
    out.append(char(0xFF));
    out.append(char(0x00));
    for (char c : data) {
        out.append(c);
        out.append(char(~std::uint8_t(c)));
    }
    const std::uint8_t sum = checksum(data);
    out.append(char(sum));
    out.append(char(~sum));
    return out;
}

int parameterLength(std::uint8_t op)
{
    const std::uint8_t base = baseOp(op);
    if (base == Op::Transfer)
        return -1;
    if (base == Op::TestNear)
        return 6;
    if (base == Op::TestFar)
        return 7;
    const int low = op & 0x07;
    if (low == 0 || low == 6)
        return 0;
    if (low == 7)
        return 1;
    return low;
}

int instructionLength(const std::uint8_t* code, int available)
{
    if (available <= 0)
        return 0;
    int length = 0;
    if (baseOp(code[0]) == Op::Transfer) {
        if (available < 5)
            return 0;
        length = 1 + 4 + (code[3] | (code[4] << 8)) + 1;
    } else {
        length = 1 + parameterLength(code[0]);
    }
    return length <= available ? length : 0;
}

int replyLength(const QByteArray& request)
{
    if (request.isEmpty())
        return -1;
    switch (baseOp(at(request, 0))) {
    case Op::SetMessage:
        return -1;
    case Op::Poll:
    case Op::Battery:
        return 2;
    case Op::Versions:
        return 8;
    case Op::MemMap:
        return 2 * MemMapWords;
    case Op::BeginTask:
    case Op::BeginSub:
    case Op::Transfer:
    case Op::SetDatalog:
    case Op::DatalogNext:
    case Op::BeginFirmware:
        return 1;
    case Op::Upload:
        return request.size() >= 5 ? DatalogEntryBytes * (at(request, 3) | (at(request, 4) << 8)) : 0;
    case Op::Unlock:
        return 25;
    default:
        return 0;
    }
}

std::optional<Unframed> unframe(const QByteArray& bytes, int dataLength, int requestOp, int from, int previousOp)
{
    const int expected = dataLength < 0 ? -1 : dataLength;
    for (int i = from; i < bytes.size(); ++i) {
        if (at(bytes, i) != 0x00)
            continue;
        // A 00 that starts the header (55 FF 00, FF 00 or 00 alone).
        bool wrong = false;
        auto found = pairsAt(bytes, i + 1, expected, wrong);
        if (!found)
            continue;
        if (requestOp < 0)
            return found;
        const std::uint8_t sent = std::uint8_t(requestOp);
        const std::uint8_t reply = at(found->data, 0);
        if (lateCopy(sent, previousOp, reply)) {
            i = found->end - 1;  // the whole copy is passed over
            continue;
        }
        if (answers(sent, reply))
            return found;
    }
    return std::nullopt;
}

std::optional<Unframed> nextRequest(const QByteArray& bytes, int from)
{
    for (int i = from; i + 2 < bytes.size(); ++i) {
        if (at(bytes, i) != 0x00)
            continue;
        const std::uint8_t op = at(bytes, i + 1);
        if (std::uint8_t(~op) != at(bytes, i + 2))
            continue;
        int params = parameterLength(op);
        if (params < 0) {
            // Transfer data: its length short is the third and fourth parameter.
            if (i + 10 >= bytes.size())
                return std::nullopt;
            params = 4 + (at(bytes, i + 7) | (at(bytes, i + 9) << 8)) + 1;
        }
        bool wrong = false;
        if (auto found = pairsAt(bytes, i + 1, params + 1, wrong))
            return found;
        if (!wrong)
            return std::nullopt;  // not whole yet
    }
    return std::nullopt;
}

}  // namespace rcx
