// Replies from the brick as the brick layer takes them: the input is a
// sequence of reply bodies, each a length byte (FF: no reply) and that many
// bytes, handed out one per request. Every operation that reads a reply must
// either give a result or fail with a failure number, whatever came back.
#include "link/protocol/RcxLink.h"
#include "model/VbError.h"

#include <optional>

namespace {

class ScriptedTransport : public IRcxTransport {
public:
    ScriptedTransport(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
    bool open() override { return true; }
    bool wake() override { return mPos < mSize; }
    void close() override {}
    std::optional<QByteArray> exchange(const QByteArray& request) override
    {
        mSent += request.size();
        if (mPos >= mSize)
            return std::nullopt;
        const size_t n = mData[mPos++];
        if (n == 0xFF)
            return std::nullopt;
        const size_t take = std::min(n, mSize - mPos);
        QByteArray body(reinterpret_cast<const char*>(mData + mPos), qsizetype(take));
        mPos += take;
        return body;
    }
    qint64 bytesSent() const override { return mSent; }
    bool done() const { return mPos >= mSize; }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPos = 0;
    qint64 mSent = 0;
};

template <class F>
void attempt(F&& f)
{
    try {
        f();
    } catch (const VbError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ScriptedTransport transport(data, size);
    RcxLink link(transport);
    for (int round = 0; round < 4 && !transport.done(); ++round) {
        attempt([&] { link.TowerCheck1(); });
        attempt([&] { link.PBAlive(); });
        attempt([&] { link.PBBattery(); });
        attempt([&] {
            Integer n = 1;
            link.Poll(9, n);
        });
        attempt([&] { link.GetMemMap(); });
        attempt([&] { link.GetDatalog(0, 30); });
        attempt([&] { link.FirmwareVersion(); });
    }
    return 0;
}
