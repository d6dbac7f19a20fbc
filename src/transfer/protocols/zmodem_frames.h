// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// ZMODEM's frames on the wire: headers in hex or binary form, data
// subpackets, ZDLE escaping, and a reader that finds them in a byte stream.
namespace quillon::zmodem {

constexpr char ZPAD = '*';
constexpr char ZDLE = 0x18;
constexpr char ZBIN = 'A';
constexpr char ZHEX = 'B';
constexpr char ZBIN32 = 'C';

enum FrameType : std::uint8_t {
    ZRQINIT, ZRINIT, ZSINIT, ZACK, ZFILE, ZSKIP, ZNAK, ZABORT, ZFIN, ZRPOS, ZDATA,
    ZEOF, ZFERR, ZCRC, ZCHALLENGE, ZCOMPL, ZCAN, ZFREECNT, ZCOMMAND, ZSTDERR
};

// How a data subpacket ends: what the receiver does next.
constexpr char ZCRCE = 'h'; // frame ends, a header follows
constexpr char ZCRCG = 'i'; // more data follows, no answer
constexpr char ZCRCQ = 'j'; // more data follows, answer ZACK
constexpr char ZCRCW = 'k'; // frame ends, answer ZACK

// ZRINIT's capability flags (ZF0).
constexpr std::uint8_t CANFDX = 0x01;
constexpr std::uint8_t CANOVIO = 0x02;
constexpr std::uint8_t CANFC32 = 0x20;
constexpr std::uint8_t ESCCTL = 0x40;
// ZFILE's conversion option (ZF0).
constexpr std::uint8_t ZCBIN = 1;
constexpr std::uint8_t ZCRESUM = 3;

// A header: its type and four bytes, P0..P3 (the position, least
// significant first), which carry the flags as F3..F0.
struct Header {
    std::uint8_t type = 0;
    std::array<std::uint8_t, 4> bytes{};

    static Header at(std::uint8_t type, std::uint32_t position);
    static Header with_flags(std::uint8_t type, std::uint8_t f0, std::uint8_t f1 = 0);
    std::uint32_t position() const;
    std::uint8_t f0() const { return bytes[3]; }
    std::uint8_t f1() const { return bytes[2]; }
    bool operator==(const Header&) const = default;
};

// Escapes what the line must not see raw: ZDLE, DLE, XON, XOFF (and the
// same with the high bit), CR after '@' (a network's command escape),
// and every control character when the receiver asks.
class Escaper {
public:
    explicit Escaper(bool escape_controls = false) : controls_(escape_controls) {}
    void put(std::string& out, unsigned char c);
    void put(std::string& out, std::string_view bytes);

private:
    bool controls_;
    unsigned char last_ = 0;
};

// A hex header: "**", ZDLE, 'B', the header and CRC-16 in hex, CR LF, and
// XON (but after ZACK and ZFIN).
std::string hex_header(const Header& header);
// A hex header is read at its check value: how many of the bytes after it
// are still its line's end (CR, LF with or without its high bit, XON).
std::size_t hex_header_line_end(std::string_view rest);
std::string binary_header(const Header& header, bool crc32, Escaper& escaper);
void append_subpacket(std::string& out, std::string_view data, char end, bool crc32, Escaper& escaper);

// Finds headers and data subpackets in what arrives. After a binary header
// of a frame that carries data it reads subpackets until one ends the frame.
class Reader {
public:
    static constexpr std::size_t max_subpacket = 8192;

    struct Event {
        enum class Kind { header, subpacket, bad, cancel };
        Kind kind = Kind::bad;
        Header header;
        bool crc32 = false; // how the header came
        std::string data;   // a subpacket's bytes
        char end = 0;       // and how it ended
    };

    std::optional<Event> push(unsigned char c);
    // Goes back to looking for a header.
    void reset();

private:
    enum class State { seek, pad, format, hex, binary, subpacket, subpacket_crc };
    std::optional<Event> fail();
    std::optional<Event> header_done();
    std::optional<Event> subpacket_done();
    // A byte of ZDLE-escaped content, or nullopt when c was part of an escape.
    std::optional<int> unescape(unsigned char c);

    State state_ = State::seek;
    int cans_ = 0;
    bool escaped_ = false;
    bool crc32_ = false;
    std::string raw_;  // the header's bytes, or the subpacket's CRC
    std::string data_; // the subpacket so far
    char end_ = 0;
    Header last_;
};

} // namespace quillon::zmodem
