#!/usr/bin/env bash
# Fails when a file under core/ includes a Qt header, or when the core, linked whole into a
# program, needs a shared library other than the C++ runtime, glibc and the core's own choices
# (libxlsxwriter, with the zlib it compresses workbooks with, and zstd for the version history).
set -euo pipefail
core_dir="$1"
probe="$2"
status=0

qt_includes=$(grep -rnE '^\s*#\s*include\s*[<"](Q[A-Za-z0-9_]*|Qt[A-Za-z0-9_]*/[^>"]*)[>"]' "$core_dir" || true)
if [ -n "$qt_includes" ]; then
    echo "Qt headers included under core/:"
    echo "$qt_includes"
    status=1
fi

allowed='^(libstdc\+\+|libm|libgcc_s|libc|ld-linux[-a-z0-9_]*|libasan|libubsan|libxlsxwriter|libz|libzstd)\.so'
needed=$(readelf -d "$probe" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
for library in $needed; do
    if ! [[ "$library" =~ $allowed ]]; then
        echo "core needs a library it must not: $library"
        status=1
    fi
done

[ $status -eq 0 ] && echo "core is Qt-free; it needs: $(echo $needed)"
exit $status
