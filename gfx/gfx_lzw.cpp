// The 12-bit LZW codec of the built-in data.
//
// Stream: 12-bit codes packed least significant bit first (code k at bits
// 12k..12k+11). Codes 0-255 are literals, 256-4094 dictionary strings assigned
// one per code after the first, 4095 ends the stream. The dictionary never
// resets: once code 4094 is defined it stays frozen to the end.
//
// Both directions share one process-wide table, so only one coding may run at
// a time.
#include <cstring>

#include "gfx/gfx_internal.h"

namespace {

constexpr int32_t TABLE_SIZE = 5021;  // prime, so every probe step visits all slots
constexpr int32_t FIRST_CODE = 256;
constexpr int32_t LAST_CODE = 4094;
constexpr int32_t END_CODE = 4095;
constexpr uint16_t EMPTY_SLOT = 0xFFFF;
constexpr int32_t MAX_CHAIN = 4095;
constexpr int32_t WORK_SIZE = 4096;

struct Entry {
    uint16_t code;
    uint16_t prefix;
    uint8_t ch;
};

// The encoder's hash table of (prefix, byte) -> code; the decoder indexes
// slots 256..4094 by code.
Entry entry[TABLE_SIZE];

// ---- decoding ----

// Writes the string of `code` backwards, last byte at buffer[0]; returns the
// address of its first byte, or null if the chain is implausibly long.
uint8_t* decode_string(uint8_t* buffer, int32_t code) {
    int32_t links = 0;
    while (code >= FIRST_CODE) {
        if (++links > MAX_CHAIN) return nullptr;
        *buffer++ = entry[code].ch;
        code = entry[code].prefix;
    }
    *buffer = static_cast<uint8_t>(code);
    return buffer;
}

struct CodeReader {
    const uint8_t* in;
    int32_t size;
    int64_t bit;

    // The next 12-bit code, or -1 when the stream ends inside it.
    int32_t next() {
        const int64_t byte = bit >> 3;
        if (byte + 1 >= size) return -1;
        const int32_t pair = in[byte] | (in[byte + 1] << 8);
        const int32_t code = (bit & 7) ? pair >> 4 : pair & 0xFFF;
        bit += 12;
        return code;
    }
};

struct Output {
    uint8_t* out;
    int32_t capacity;
    int32_t count;

    // Copies the backwards string from `first` down to `last` in forward
    // order; false when the output fills up first.
    bool put_reversed(const uint8_t* first, const uint8_t* last) {
        for (ptrdiff_t i = first - last; i >= 0; --i) {
            if (count >= capacity) return false;
            out[count++] = last[i];
        }
        return true;
    }
};

int32_t decode_codes(CodeReader& reader, Output& output, int32_t prev, uint8_t first_byte) {
    static uint8_t work[WORK_SIZE + 1];  // + the first byte of an undefined code
    int32_t next_free = FIRST_CODE;
    for (;;) {
        const int32_t c = reader.next();
        if (c < 0) return -1;  // truncated: no end code
        if (c == END_CODE) return 0;
        // A code beyond the one being defined cannot come from the encoder.
        if (c > next_free) return -1;
        uint8_t* start;
        if (c < next_free) {
            start = decode_string(work, c);
        } else {
            // The code being defined right now: previous string + its first byte.
            work[0] = first_byte;
            start = decode_string(work + 1, prev);
        }
        if (!start) return -1;
        first_byte = *start;
        if (!output.put_reversed(start, work)) return -1;
        if (next_free <= LAST_CODE) {
            entry[next_free].prefix = static_cast<uint16_t>(prev);
            entry[next_free].ch = first_byte;
            ++next_free;
        }
        prev = c;
    }
}

// ---- encoding ----

struct CodeWriter {
    uint8_t* out;
    int32_t capacity;
    int32_t count;  // codes written so far

    int64_t completed_bytes() const { return int64_t{count} * 12 / 8; }

    void put_byte(int64_t at, uint8_t value) {
        if (at < capacity) out[at] = value;
    }

    // Appends one code; false once the completed bytes reach the capacity.
    // Nothing is ever written at or past the capacity.
    bool put(int32_t code) {
        const int64_t at = int64_t{count / 2} * 3;
        if (count % 2 == 0) {
            put_byte(at, static_cast<uint8_t>(code));
            put_byte(at + 1, static_cast<uint8_t>(code >> 8));
        } else {
            if (at + 1 < capacity) out[at + 1] |= static_cast<uint8_t>(code << 4);
            put_byte(at + 2, static_cast<uint8_t>(code >> 4));
        }
        ++count;
        return completed_bytes() < capacity;
    }

    int32_t stream_length() const { return static_cast<int32_t>((int64_t{count} * 12 + 7) / 8); }
};

// The slot that holds (prefix, ch), or the empty slot where it belongs.
int32_t find_slot(int32_t prefix, uint8_t ch) {
    int32_t h = (ch << 4) ^ prefix;
    const int32_t step = h == 0 ? 1 : TABLE_SIZE - h;
    while (entry[h].code != EMPTY_SLOT && (entry[h].prefix != prefix || entry[h].ch != ch)) {
        h = (h + step) % TABLE_SIZE;
    }
    return h;
}

}  // namespace

int32_t zq_hDecode(const uint8_t* in, int32_t in_size, uint8_t* out, int32_t* out_size) {
    if (!out_size) return -1;
    const int32_t capacity = *out_size > 0 ? *out_size : 0;
    *out_size = 0;
    if (!in || in_size < 2 || capacity < 1 || !out) return -1;
    CodeReader reader{in, in_size, 0};
    const int32_t first = reader.next();
    if (first < 0 || first >= FIRST_CODE) return -1;  // streams start with a literal
    out[0] = static_cast<uint8_t>(first);
    Output output{out, capacity, 1};
    const int32_t result = decode_codes(reader, output, first, static_cast<uint8_t>(first));
    *out_size = output.count;
    return result;
}

int32_t zq_hEncode(const uint8_t* in, int32_t in_size, uint8_t* out, int32_t* out_size) {
    if (!out_size) return -1;
    const int32_t capacity = *out_size > 0 ? *out_size : 0;
    *out_size = 0;
    if (!in || in_size < 1 || !out) return -1;
    std::memset(entry, 0xFF, sizeof entry);
    CodeWriter writer{out, capacity, 0};
    int32_t prefix = in[0];
    int32_t next_free = FIRST_CODE;
    for (int32_t i = 1; i < in_size; ++i) {
        const uint8_t b = in[i];
        const int32_t slot = find_slot(prefix, b);
        if (entry[slot].code != EMPTY_SLOT) {
            prefix = entry[slot].code;
            continue;
        }
        if (next_free <= LAST_CODE) {
            entry[slot] = {static_cast<uint16_t>(next_free++), static_cast<uint16_t>(prefix), b};
        }
        if (!writer.put(prefix)) {
            *out_size = capacity;
            return -1;
        }
        prefix = b;
    }
    if (!writer.put(prefix) || !writer.put(END_CODE)) {
        *out_size = capacity;
        return -1;
    }
    *out_size = writer.stream_length();
    return 0;
}
