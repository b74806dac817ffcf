#!/bin/bash
# Non-blank lines of the tests (every tracked file under tests/ and fuzz/)
# against the project's own source elsewhere (C/C++, headers, resource
# scripts, CMake, shell, Python), and the tests' share of the whole.
cd "$(dirname "$0")/.."
count() { git ls-files -z "$@" | xargs -0 cat | grep -cv '^[[:space:]]*$'; }
tests=$(count tests fuzz)
code=$(git ls-files | grep -vE '^(tests|fuzz)/' |
  grep -E '(\.(c|cc|cpp|h|hpp|rc|cmake|sh|py|def)|CMakeLists\.txt|/run)$' | tr '\n' '\0' |
  xargs -0 cat | grep -cv '^[[:space:]]*$')
echo "tests $tests, code $code, tests are $((100 * tests / (tests + code)))% of $((tests + code))"
