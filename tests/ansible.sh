#!/usr/bin/env bash
# Ansible gathers every answer as the local fact ravlinpath, through the
# facts.d file the README shows, run as it is written there.
#   ansible.sh COMMAND NSS_WRAPPER_LIBRARY SOURCE_DIR
set -euo pipefail
command=$1 nss_wrapper=$2 source=$3
. "$source/tests/checks.sh"

if ! command -v ansible >/dev/null; then
    echo "ansible-core is not installed: the local facts are not gathered"
    exit 0
fi

mkdir "$work/bin" "$work/facts.d"
ln -s "$(realpath "$command")" "$work/bin/ravlin-path"
fact=$work/facts.d/ravlinpath.fact
awk '/^#!\/bin\/sh$/ {file = 1} file && /^```$/ {exit} file' "$source/README.md" >"$fact"
chmod 755 "$fact"
as_nmr "$nss_wrapper"
scene=("${as_nmr[@]}" PATH="$work/bin:/usr/bin:/bin" HOME="$work" LC_ALL=C.UTF-8 ANSIBLE_HOME="$work/.ansible"
    ANSIBLE_LOCAL_TEMP="$work/tmp" ANSIBLE_REMOTE_TEMP="$work/tmp" RAVLINHOME=/opt/r "LUMEVA=/l \"q\" \\ $(printf '\377')")

"${scene[@]}" ravlin-path --json >"$work/expected"
"${scene[@]}" ansible localhost -c local -i localhost, -m ansible.builtin.setup \
    -a "fact_path=$work/facts.d filter=ansible_local" -o >"$work/gathered"
verdict=$(/usr/bin/python3 - "$work/gathered" "$work/expected" "$source/data/ravlin-path.schema.json" <<'PYTHON'
import json, sys
import jsonschema
line, expected, schema = (open(name, "rb").read().decode() for name in sys.argv[1:])
facts = json.loads(line.partition(" => ")[2])["ansible_facts"]["ansible_local"]["ravlinpath"]
jsonschema.validate(facts, json.loads(schema))
print("same" if facts == json.loads(expected) else f"differ: {facts}")
PYTHON
)
check "ansible_local.ravlinpath is what ravlin-path --json prints" same "$verdict"
summary ansible
