// Bytes as they come from the tower: the input's first byte is the data
// length looked for plus one (0 for any length), its second the opcode of the
// request answered, the rest the stream. Every packet found must lie inside
// the stream and be found again where it was, and with the request's twin
// gone before, none is a late copy of the twin's answer; requests and program
// code are read out of the same bytes.
#include "link/protocol/RcxPacket.h"

#include <cstdio>
#include <cstdlib>

namespace {
[[noreturn]] void fault(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const int dataLength = int(data[0]) - 1;
    const int requestOp = data[1];
    const QByteArray stream(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));

    for (int from = 0, guard = 0; from < stream.size() && guard < 4096; ++guard) {
        const auto reply = rcx::unframe(stream, dataLength, requestOp, from);
        if (!reply)
            break;
        if (reply->end <= from || reply->end > stream.size())
            fault("a reply ends outside the stream");
        if (dataLength >= 0 && reply->data.size() != dataLength)
            fault("a reply of another length");
        if (rcx::frame(reply->data).size() != 3 + 2 * reply->data.size() + 2)
            fault("a frame of the wrong size");
        (void)rcx::replyLength(reply->data);
        from = reply->end;
    }
    const int previousOp = rcx::twin(std::uint8_t(requestOp));
    for (int from = 0, guard = 0; from < stream.size() && guard < 4096; ++guard) {
        const auto reply = rcx::unframe(stream, dataLength, requestOp, from, previousOp);
        if (!reply)
            break;
        if (reply->end <= from || reply->end > stream.size())
            fault("a reply past a late copy ends outside the stream");
        if (rcx::lateCopy(std::uint8_t(requestOp), previousOp, std::uint8_t(reply->data.at(0))))
            fault("a late copy taken for the answer");
        from = reply->end;
    }
    for (int from = 0, guard = 0; from < stream.size() && guard < 4096; ++guard) {
        const auto request = rcx::nextRequest(stream, from);
        if (!request)
            break;
        if (request->end <= from || request->end > stream.size())
            fault("a request ends outside the stream");
        from = request->end;
    }
    const auto* code = reinterpret_cast<const std::uint8_t*>(stream.constData());
    for (int at = 0; at < stream.size();) {
        const int n = rcx::instructionLength(code + at, int(stream.size()) - at);
        if (n <= 0)
            break;
        if (n > stream.size() - at)
            fault("an instruction longer than the code");
        at += n;
    }
    return 0;
}
