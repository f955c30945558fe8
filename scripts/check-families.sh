#!/usr/bin/env bash
# Checks that each family of the data-aware control library includes only the families
# its README table allows. Usage: check-families.sh [repository root]
set -euo pipefail
root=${1:-$(dirname "$0")/..}
lib=$root/datacontrols
status=0
declare -A allowed
while IFS='|' read -r _ family _ may _; do
  family=$(echo "$family" | xargs)
  [[ $family =~ ^[a-z]+$ ]] || continue
  allowed[$family]=" $(echo "$may" | tr -d ',') "
done < "$lib/README.md"

for dir in "$lib"/*/ "$root"/tests/datacontrols/*/; do
  family=$(basename "$dir")
  if [[ -z ${allowed[$family]+set} ]]; then
    echo "$dir: family '$family' is not in datacontrols/README.md"; status=1; continue
  fi
  while IFS=: read -r file line used; do
    [[ $used == "$family" || ${allowed[$family]} == *" $used "* ]] && continue
    echo "$file:$line: family '$family' includes '$used'"; status=1
  done < <(grep -Hno '#include "\(tests/\)\?datacontrols/[a-z]*/' "$dir"* 2>/dev/null |
           sed -E 's#^([^:]*):([0-9]*):.*datacontrols/([a-z]*)/$#\1:\2:\3#')
done
[[ $status -eq 0 ]] && echo "datacontrols families: every include follows datacontrols/README.md"
exit $status
