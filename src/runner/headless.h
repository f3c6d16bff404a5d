#pragma once

#include <string>
#include <string_view>

namespace kelvarin {

class PictureOutput;

// Makes standard input, output and error carry bytes as they are: where the
// C library would otherwise translate line ends (Windows), "\n" stays one
// byte on the way out and a Ctrl-Z or "\r" is read as a byte, so every
// platform prints the same. Called before anything is read or written.
void UseBinaryStandardStreams();

// Prints `text` on standard output. Returns the exit status: 0, or 1 after
// "error: standard output: REASON" on standard error when it cannot be
// written (a full disk, a closed pipe).
int PrintOutput(std::string_view text);

// Prints `text` on standard error, as it can.
void PrintError(std::string_view text);

// `kelvarin --script PATH` on standard output and standard error, with the
// given picture files (none in a build that writes no pictures). A closed
// output pipe is a write error that the run reports, not a signal that ends
// it. Returns the exit status.
int RunScriptMode(const std::string& path, const PictureOutput* pictures);

// `kelvarin --gif` in a build that writes no pictures: one line on standard
// error, status 2.
int NoPicturesToRecord();

}  // namespace kelvarin
