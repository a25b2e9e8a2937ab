// The scanner's input buffer: standard input read into one buffer, a block
// at a time (a line at a time at a terminal), which doubles whenever the
// token being read fills it. Its sizes and the way it reads are in
// input_source.hpp. Used by the scanner (scanner.cpp), which keeps every
// position in it as an offset or in a Token the refill updates; the buffer
// needs nothing from the scanner.
#pragma once

#include <cstddef>

namespace scanner_input {

// Room allocated past the two end markers, so that a literal can be scanned
// eight bytes at a time anywhere up to the markers. Never holds data.
inline constexpr std::size_t scan_slack = 8;

// Positions in the buffer are offsets: they stay true when a refill moves
// the buffer.
struct InputBuffer {
  char* text;        // size bytes of room for data, then two end markers
  std::size_t size;  // room for data
  std::size_t end;   // bytes [0, end) are data; the end markers start here
  bool input_ended;  // a read has returned end of input; never read again
  // A read failed after some bytes had arrived: those bytes are scanned
  // first, so that the statements they complete are answered, and the next
  // refill reports the failure.
  bool read_failed;
};

// In static storage, so that the scanner reaches the text and its end in
// one load each; only the text is allocated. Before the first scan it
// holds end markers and no data, so that the first token goes straight to a
// refill, which starts the scanner: no test for it stands in the way of
// every other token.
extern InputBuffer input;

// Where a refill left the token being scanned, and whether input arrived.
struct Refilled {
  std::size_t at;
  bool more;
};
// Reads more input after the token that starts at offset `token_at`, first
// moving the token to the front of the buffer and doubling the buffer if
// the token fills it; `more` is false when the input has ended. Out of
// line: it is the rare path, and the engine inlines what it calls.
[[gnu::noinline]] Refilled refill_buffer(std::size_t token_at);

// Frees the buffer: the next refill starts on fresh input.
void reset_input();

}  // namespace scanner_input
