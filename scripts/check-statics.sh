#!/usr/bin/env bash
# Fails when the program keeps state outside the application state: a
# variable declared `static` (not const) anywhere, or a variable defined at
# namespace scope that is not const. Tests and benchmarks are not checked.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

folders=(core state journal decoder search checksum resources view document navigate edit find disasm filemenu app batch platform)
found=$(
    {
        # static variables, at any depth (function calls and definitions have a parenthesis first)
        grep -rnE '^\s*(alignas\([0-9]+\)\s+)?(static|thread_local)\s' --include='*.cpp' --include='*.h' "${folders[@]}" |
            grep -vE ':\s*(alignas\([0-9]+\)\s+)?static\s+(constexpr|const\s|inline\s+constexpr|_assert)' |
            grep -vE ':\s*(alignas\([0-9]+\)\s+)?static\s+[^=;{(]*\(' || true
        # namespace-scope variables: definitions that start in column 0
        grep -rnE '^[A-Za-z_][A-Za-z0-9_:<>,\* ]*[ \*&]+[A-Za-z_][A-Za-z0-9_]*(\[[^]]*\])*\s*(=[^=]|\{[^}]*\};|;)' \
                --include='*.cpp' --include='*.h' "${folders[@]}" |
            grep -vE ':(const|constexpr|inline constexpr|extern const|using|typedef|return|namespace|enum|struct|class|template|friend)\b' |
            grep -vE ':[^=]*\(' || true
    } | sort -u
)
if [ -n "$found" ]; then
    echo "$found"
    echo "state kept outside the application state (see above)"
    exit 1
fi
echo "statics: no mutable state outside the application state"
