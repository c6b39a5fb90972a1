// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace vortalex {

// Standard output as every program writes it. A failed write (a full disk,
// a closed pipe's reader) is remembered, not lost: closeStandardOutput()
// reports it at the end, as coreutils' close_stdout does, so that
// `vortalex-cli get > /dev/full` cannot end with exit 0.

// Called first in main: a standard stream the program was started without
// (`>&-`) gets /dev/null, so that no file the program opens takes its
// number and receives its output; writing to such a standard output still
// fails, as it would have.
void guardStandardStreams();

// Writes `bytes`; with `flush`, at once (for output a person or a pipe waits
// for, such as watch's lines).
void writeStandardOutput(const QByteArray &bytes, bool flush = false);

// True once a write to standard output failed: a program that would go on
// writing (watch) stops.
bool standardOutputFailed();

// Flushes and closes standard output; null when all of it went out,
// otherwise the system's reason. A standard output that was closed before
// the program started and never written to is no failure.
QString closeStandardOutput();

// The end of a program's main: closes standard output and, when that shows
// a failure, says "<program>: cannot write standard output: <reason>" on
// standard error and turns an exit status of 0 into 2 (the output is bad);
// a failing status stays as it is. Returns the status to exit with.
int finishStandardOutput(const char *program, int exitCode);

// True when standard output is a terminal: binary data is refused there.
bool standardOutputIsTerminal();

// The refusal of binary output to a terminal, as gzip words its own, with
// the `hint` of what to do instead.
QString binaryToTerminalRefusal(const QString &hint);

} // namespace vortalex
