#pragma once
// The way to a brick: a tower on a device, or a brick in the same process.
// The link above works with whole requests and replies; framing, the toggle
// twin, echo, retries and timing are the transport's.
#include <QByteArray>

#include <optional>

class IRcxTransport {
public:
    virtual ~IRcxTransport() = default;

    // Opens the device; True when it is there.
    virtual bool open() = 0;
    // Wakes the tower so that it is ready to send; True when it answers.
    virtual bool wake() = 0;
    // True when a tower answers behind the device, whether a brick is in
    // range or not: it tells a tower with its brick off from no tower at all.
    virtual bool probe() { return wake(); }
    virtual void close() = 0;

    // Sends one request (opcode and parameters) and returns the reply's body
    // (what follows the reply opcode); nullopt when no good reply came after
    // every retry. A request without a reply (set message) returns an empty
    // body once it is sent.
    virtual std::optional<QByteArray> exchange(const QByteArray& request) = 0;

    // The bytes sent and received so far, for the benchmark and the tests.
    virtual qint64 bytesSent() const = 0;
};
