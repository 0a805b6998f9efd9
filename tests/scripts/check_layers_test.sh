#!/usr/bin/env bash
# scripts/check_layers on small trees of its own: a tree whose folders include
# downwards passes, an include of an upper folder's header fails and is named,
# a relative one too.
#   check_layers_test.sh PATH_OF_check_layers
set -uo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
failures=0

fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }

mkdir -p "$tree"/{app,product,launch,feedback,base,include/qm}
echo '#pragma once' >"$tree/app/main_window.h"
echo '#pragma once' >"$tree/product/loader.h"
echo '#pragma once' >"$tree/feedback/debug_log.h"
echo '#pragma once' >"$tree/base/unique_handle.h"
echo '#pragma once' >"$tree/include/qm/product_library.h"
printf '#include "loader.h"\n#include "debug_log.h"\n#include "unique_handle.h"\n' >"$tree/app/main.cpp"
printf '#include "debug_log.h"\n#include "qm/product_library.h"\n#include <windows.h>\n' >"$tree/product/loader.cpp"
printf '#include "debug_log.h"\n' >"$tree/launch/parse.cpp"

"$check" "$tree" 2>"$tree/out" || fail "a tree that includes downwards: $(cat "$tree/out")"

printf '#include "debug_log.h"\n#include "main_window.h"\n' >"$tree/product/start.cpp"
if "$check" "$tree" 2>"$tree/out"; then
  fail "product/ including an app/ header passed"
fi
grep -qx 'product/start.cpp:2: product/ includes "main_window.h" of app/, a folder above it' "$tree/out" ||
  fail "the crossing is not named as expected: $(cat "$tree/out")"
[ "$(wc -l <"$tree/out")" -eq 1 ] || fail "more than the one crossing reported: $(cat "$tree/out")"

printf '#include "../app/main_window.h"\n' >"$tree/feedback/relative.cpp"
"$check" "$tree" 2>"$tree/out"
grep -q '^feedback/relative.cpp:1: feedback/ includes "../app/main_window.h" of app/' "$tree/out" ||
  fail "a relative include of an upper folder is not found: $(cat "$tree/out")"
exit $((failures > 0))
