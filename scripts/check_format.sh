#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format makes of it (.clang-format at the
# top). `scripts/check_format.sh --fix` rewrites those files instead.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}" 2>/tmp/zrt-format.$$; then
    grep -o '^[^:]*' /tmp/zrt-format.$$ | sort -u | sed 's/^/not formatted: /'
    rm -f /tmp/zrt-format.$$
    echo "format: run scripts/check_format.sh --fix"
    exit 1
fi
rm -f /tmp/zrt-format.$$
echo "format: ${#files[@]} files as .clang-format wants them"
