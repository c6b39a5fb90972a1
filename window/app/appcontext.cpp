// SPDX-License-Identifier: GPL-3.0-or-later
#include "appcontext.h"

#include <cstdio>
#include <cstdlib>

namespace vortalex {

void writeDiagnosticLine(const QString &line)
{
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

void exitProcessNow(int exitCode)
{
    std::exit(exitCode);
}

} // namespace vortalex
