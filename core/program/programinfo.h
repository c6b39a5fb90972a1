// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vortalex {

// The project's version, as the build system knows it ("1.8").
const char *programVersion();

// Names the running program for Qt (application name and version, which
// QCommandLineParser's --version prints, organisation name and domain, which
// settings and D-Bus use). Call it right after creating the application object.
void setProgramInfo(const char *programName);

} // namespace vortalex
