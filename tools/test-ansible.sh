#!/usr/bin/env bash
# tools/test-ansible.sh [PELORIN_CLI]: tests the Ansible collection
# (packaging/ansible) with Debian's ansible-core, on a local connection,
# against a simulated reader that keeps its settings in a state file:
# - check mode reports the changes and writes nothing;
# - the first run changes the reader, and its transcript shows exactly the
#   writes of the settings that differed;
# - the second run changes nothing and writes nothing;
# - a missing pelorin-cli, a missing reader and a refused write each fail
#   the task with pelorin-cli's one-line reason.
# PELORIN_CLI defaults to build/default/bin/pelorin-cli, which must be built.
# The collection is built and installed from its tarball into a temporary
# folder. Each playbook run is bounded by a timeout; the whole test takes
# about a minute (the simulated reader answers in real time).
set -euo pipefail
cd "$(dirname "$0")/.."

cli=${1:-build/default/bin/pelorin-cli}
if [[ ! -x $cli ]]; then
  echo "test-ansible.sh: $cli is not built: cmake --build --preset default --target pelorin-cli" >&2
  exit 2
fi
for tool in ansible-playbook ansible-galaxy ansible-doc; do
  if ! command -v "$tool" >/dev/null; then
    echo "test-ansible.sh: $tool not found: tools/install-deps.sh installs ansible-core" >&2
    exit 2
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/empty" "$work/reader" "$work/worn"
ln -s "$(realpath "$cli")" "$work/bin/pelorin-cli"
export PATH="$work/bin:$PATH"
export ANSIBLE_HOME="$work/home" ANSIBLE_LOCAL_TEMP="$work/tmp" ANSIBLE_REMOTE_TEMP="$work/tmp"
export ANSIBLE_CONFIG="$work/empty/ansible.cfg" ANSIBLE_GALAXY_CACHE_DIR="$work/cache"
export ANSIBLE_COLLECTIONS_PATH="$work/collections" ANSIBLE_NOCOLOR=1
export ANSIBLE_RETRY_FILES_ENABLED=0 ANSIBLE_LOCALHOST_WARNING=0 ANSIBLE_INVENTORY_UNPARSED_WARNING=0
: >"$ANSIBLE_CONFIG"

fail() {
  echo "test-ansible.sh: FAILED: $*" >&2
  exit 1
}

ansible-galaxy collection build packaging/ansible --output-path "$work" >/dev/null
ansible-galaxy collection install -p "$work/collections" "$work"/cardreadersuite-pelorin-*.tar.gz >/dev/null
ansible-doc cardreadersuite.pelorin.reader_settings >"$work/doc.txt"
for part in OPTIONS EXAMPLES "RETURN VALUES" plugdev; do
  grep -q "$part" "$work/doc.txt" || fail "ansible-doc shows no $part"
done

cat >"$work/reader/devices.json" <<'EOF'
{"devices": [{"preset": "reader", "transcript": "transcript.txt", "state_file": "state.json"}]}
EOF
# A reader that has taken its 254 writes.
cat >"$work/worn/devices.json" <<'EOF'
{"devices": [{"preset": "reader", "state_file": "state.json"}]}
EOF
echo '{"writes": 254}' >"$work/worn/state.json"

cat >"$work/settings.yml" <<'EOF'
- name: A till's reader
  hosts: localhost
  connection: local
  gather_facts: false
  vars:
    ansible_python_interpreter: "{{ ansible_playbook_python }}"
  environment:
    HID_SIMULATION: "{{ devices }}"
  tasks:
    - name: Reader settings
      cardreadersuite.pelorin.reader_settings:
        language: French
        polling: 4
        turbo: false
      register: result
    - name: What the module returned
      ansible.builtin.assert:
        that:
          - result.changed == (expect_changed | bool)
          - result.written == (expect_written | from_json)
          - result.settings.language.before == language_before
          - result.settings.language.after == "French"
          - result.settings.polling.before == polling_before | int
          - result.settings.polling.after == 4
          - result.settings.turbo.before == "Off" and result.settings.turbo.after == "Off"
EOF

cat >"$work/failures.yml" <<'EOF'
- name: Failures
  hosts: localhost
  connection: local
  gather_facts: false
  vars:
    ansible_python_interpreter: "{{ ansible_playbook_python }}"
  tasks:
    - name: No pelorin-cli
      cardreadersuite.pelorin.reader_settings:
        polling: 4
      environment:
        PATH: "{{ empty }}"
        HID_SIMULATION: "{{ devices }}"
      register: no_cli
      ignore_errors: true
    - name: No reader
      cardreadersuite.pelorin.reader_settings:
        polling: 4
      environment:
        HID_SIMULATION: none
      register: no_reader
      ignore_errors: true
    - name: A refused write
      cardreadersuite.pelorin.reader_settings:
        language: French
      environment:
        HID_SIMULATION: "{{ worn }}"
      register: refused
      ignore_errors: true
    - name: Each failed with pelorin-cli's one-line reason
      ansible.builtin.assert:
        that:
          - no_cli is failed
          - no_cli.msg is search('pelorin-cli not found')
          - no_reader is failed and no_reader is not changed
          - no_reader.msg is search('^no reader found: plug in a reader')
          - refused is failed and refused is not changed
          - refused.msg is search('^language. the reader refused the write [(]NAK[)].*; nothing was written$')
          - "'\n' not in no_reader.msg and '\n' not in refused.msg"
EOF

play() {  # play PLAYBOOK LOG ARGUMENTS...
  local playbook=$1 log=$2
  shift 2
  if ! timeout 180 ansible-playbook -i localhost, "$playbook" -e "devices=$work/reader/devices.json" \
      -e "worn=$work/worn/devices.json" -e "empty=$work/empty" "$@" >"$work/$log" 2>&1; then
    cat "$work/$log" >&2
    fail "$log"
  fi
}

# The write commands the reader got, one a line ("53 24 01 37").
writes() {
  sed -n 's/^SET_FEATURE 00 02 \(53 .. .. ..\) .*/\1/p' "$work/reader/transcript.txt"
}

start=$SECONDS
play "$work/settings.yml" check.log --check --diff -e expect_changed=true -e 'expect_written=[]' \
  -e '{"language_before": "English (US)"}' -e polling_before=8
grep -q '^+language: French$' "$work/check.log" || fail "check mode shows no diff: $(cat "$work/check.log")"
grep -q '^-polling: 8$' "$work/check.log" || fail "check mode shows no polling before"
[[ -z $(writes) ]] || fail "check mode wrote: $(writes)"

play "$work/settings.yml" first.log -e expect_changed=true -e 'expect_written=["language","polling"]' \
  -e '{"language_before": "English (US)"}' -e polling_before=8
[[ $(writes) == $'53 24 01 37\n53 14 01 04' ]] || fail "first run wrote: $(writes)"

play "$work/settings.yml" second.log -e expect_changed=false -e 'expect_written=[]' \
  -e language_before=French -e polling_before=4
[[ $(writes) == $'53 24 01 37\n53 14 01 04' ]] || fail "second run wrote: $(writes)"
grep -q 'changed=0' "$work/second.log" || fail "second run changed: $(cat "$work/second.log")"

play "$work/failures.yml" failures.log
echo "test-ansible.sh: passed in $((SECONDS - start)) s"
