#!/bin/bash
# The include graph of src/ by folder: "from -> to (N includes)" for every
# pair of folders, then whether any two folders include each other, directly
# or through others (exit 1 when they do).
cd "$(dirname "$0")/../src"
edges=$(for f in */*.cpp */*.h; do
  grep -o '^#include "[a-z_]*/' "$f" | cut -d'"' -f2 | tr -d / | sed "s|^|${f%%/*} |"
done | awk '$1 != $2' | sort | uniq -c)
echo "$edges" | awk '{ printf "%-10s -> %-10s (%d)\n", $2, $3, $1 }'
# A folder reaches itself exactly when the graph has a cycle.
echo "$edges" | awk '{ print $2, $3 }' | tsort >/dev/null 2>&1 && echo "no cycle between folders" && exit 0
echo "folders include each other in a cycle"; exit 1
