#pragma once
// The brick's packets as bytes: framing, checksums, complements, the toggle
// twin and the lengths of requests, replies and program instructions. Pure
// functions; the tower driver adds the device and the timing.
#include <QByteArray>

#include <cstdint>
#include <optional>

namespace rcx {

// 55 FF 00, each data byte and its complement, the checksum and its complement.
QByteArray frame(const QByteArray& data);

// The size of the frame of dataBytes bytes of data.
constexpr qint64 framedSize(qint64 dataBytes) { return 3 + 2 * (dataBytes + 1); }

// Milliseconds a number of bytes takes on the wire at 2400 baud, 11 bits a byte.
constexpr qint64 wireMs(qint64 bytes) { return bytes * 11 * 1000 / 2400; }

// The checksum of a packet: the sum of its data bytes mod 256.
std::uint8_t checksum(const QByteArray& data);

// The bit an opcode and its twin differ in.
constexpr std::uint8_t TwinBit = 0x08;
// The opcode with bit 08 flipped, sent in place of a repeat of the last opcode.
inline std::uint8_t twin(std::uint8_t op) { return std::uint8_t(op ^ TwinBit); }
// The opcode with bit 08 cleared: the same for an opcode and its twin.
constexpr std::uint8_t baseOp(std::uint8_t op) { return std::uint8_t(op & ~TwinBit); }

// True when reply is the answer to request (complement compared under mask F7).
inline bool answers(std::uint8_t request, std::uint8_t reply)
{
    return baseOp(std::uint8_t(~request ^ reply)) == 0;
}

// True when a reply opcode is a late copy of the previous answer: the
// complement of the previous request's opcode as it was sent, when that
// request went with the other toggle of the same opcode. Infrared reflects,
// and a brick or a tower can deliver one answer twice; the copy answers the
// request under the mask as well, so it is told apart by its toggle bit.
// previous is -1 when nothing went before.
inline bool lateCopy(std::uint8_t sent, int previous, std::uint8_t reply)
{
    return previous >= 0 && std::uint8_t(previous) != sent && reply == std::uint8_t(~std::uint8_t(previous));
}

// Parameter bytes after a request opcode as the brick reads them from a
// packet; -1 for transfer data (45), whose length is in its parameters.
int parameterLength(std::uint8_t op);

// The bytes of one instruction in program code, opcode included, read at
// code; 0 when the code ends before the instruction does.
int instructionLength(const std::uint8_t* code, int available);

// Bytes of the reply body (after the reply opcode) to a request; -1 when the
// brick sends no reply (set message). Upload (A4) depends on its count.
int replyLength(const QByteArray& request);

// Where a framed packet was found in a byte stream.
struct Unframed {
    QByteArray data;   // opcode and parameters, checksum checked and dropped
    int end = 0;       // index just past the packet's checksum complement
};

// The first packet in bytes whose data is exactly dataLength bytes long (or,
// with dataLength -1, as many complement pairs as there are before the
// checksum), its checksum right. A header may lack its 55 or its 55 FF (the
// USB tower can lose the first bytes of a reply). With requestOp given (the
// opcode as sent), only a packet answering that opcode counts (so a serial
// tower's echo of the request is passed over), and with previousOp given
// too, a late copy of the previous answer is passed over as well. nullopt
// when none is whole yet.
std::optional<Unframed> unframe(const QByteArray& bytes, int dataLength, int requestOp = -1, int from = 0,
                                int previousOp = -1);

// A request as the brick reads it out of a stream: the first whole packet
// whose length follows from its opcode.
std::optional<Unframed> nextRequest(const QByteArray& bytes, int from = 0);

// Little-endian shorts.
inline void putShort(QByteArray& out, int v)
{
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}
inline std::int16_t shortAt(const QByteArray& in, int i)
{
    return std::int16_t(std::uint8_t(in[i]) | (std::uint8_t(in[i + 1]) << 8));
}
inline std::uint16_t bigShortAt(const QByteArray& in, int i)
{
    return std::uint16_t((std::uint8_t(in[i]) << 8) | std::uint8_t(in[i + 1]));
}

}  // namespace rcx
