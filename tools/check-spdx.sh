#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Lists the tracked source files (code, scripts, CMake files, metainfo) whose
# first lines (where the format allows a comment) do not name their licence with an SPDX-License-Identifier line;
# fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
missing=0
while IFS= read -r file; do
    if ! head -n 3 "$file" | grep -q 'SPDX-License-Identifier: GPL-3.0-or-later'; then
        echo "no SPDX line: $file"
        missing=$((missing + 1))
    fi
done < <(git ls-files '*.cpp' '*.h' '*.sh' '*.cmake' '*CMakeLists.txt' '*.metainfo.xml' \
    '.ci/run' 'debian/control' 'debian/rules' 'debian/*.postinst' 'debian/*.postrm' \
    'packaging/man/*.h2m')
if [ "$missing" -gt 0 ]; then
    echo "$missing file(s) without an SPDX-License-Identifier line"
    exit 1
fi
