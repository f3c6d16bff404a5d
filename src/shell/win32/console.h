#pragma once

namespace kelvarin {

// A GUI program gets no console of its own, so that none opens over the
// window or the screensaver. Before printing, the text modes take the one of
// the program that started them (a command prompt), for the standard
// streams that they did not inherit: a stream redirected to a file or a pipe
// is used as it is. Without a console to take, those streams stay closed and
// what goes to them is lost, as for any GUI program.
void UseParentConsole();

}  // namespace kelvarin
