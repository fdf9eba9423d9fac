#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright 2026 Card Reader Suite developers

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: reader_settings
short_description: Keep a card reader's keyboard language, polling interval and turbo speed as stated
version_added: "0.1.0"
description:
  - Makes the settings of the KAVRO USB KB card reader attached to the managed machine as stated,
    with C(pelorin-cli apply --json --yes).
  - Reads each stated setting and writes only those that differ, then reads each written one back
    to check it. A reader takes a limited number of setting writes ("Maximum setting limit is 254
    times only!"), so a play that runs every night writes nothing once the reader is as stated.
  - Settings that are not stated are neither read nor written.
  - A missing C(pelorin-cli), a missing reader, a value the reader cannot take and a write the
    reader refuses each fail the task with C(pelorin-cli)'s own one-line reason.
requirements:
  - C(pelorin-cli) on the managed machine's C(PATH) (the C(pelorin-cli) package).
  - Access to the reader's device nodes, see the notes.
options:
  language:
    description:
      - The keyboard language the reader types in, by the name the reader's review shows, in any
        letter case.
      - "One of: English (US), Swiss, Swedish, Spanish, Norwegian, Italian, German, French,
        Japanese, English (UK), Universal; or its number, C(0) to C(10), in that order."
    type: str
  polling:
    description:
      - The HID keyboard polling interval, C(1) to C(255).
    type: int
  turbo:
    description:
      - The turbo speed setting, on (C(true)) or off (C(false)).
    type: bool
  path:
    description:
      - Talk only to the reader interface at this path, as C(pelorin-cli status) lists it.
      - By default every interface of a current reader gets the commands.
    type: str
  serial:
    description:
      - Talk only to the reader with this serial number, as C(pelorin-cli status) lists it.
    type: str
attributes:
  check_mode:
    support: full
    description: Reads the stated settings and reports what would change; writes nothing.
  diff_mode:
    support: full
    description: Shows each stated setting before and after.
notes:
  - "The reader's device nodes belong to root, except for the user at the machine's own desktop. An
    SSH login has no desktop seat, so either run the task as root (C(become: true)) or put the
    managing user into the group C(plugdev), to which the suite's udev rule gives read and write
    access."
  - Every read or write takes about 1.5 seconds; a task that writes all three settings takes
    about 15 seconds.
  - At least one of C(language), C(polling) and C(turbo) must be given.
author:
  - Card Reader Suite developers
'''

EXAMPLES = r'''
- name: Readers type French at a polling interval of 4, turbo off
  cardreadersuite.pelorin.reader_settings:
    language: French
    polling: 4
    turbo: false
  become: true

- name: One reader of several, by serial number
  cardreadersuite.pelorin.reader_settings:
    serial: KV2420-001207
    language: English (UK)

- name: See what would change, without writing
  cardreadersuite.pelorin.reader_settings:
    polling: 4
  check_mode: true
  diff: true
'''

RETURN = r'''
settings:
  description:
    - Each stated setting, what the reader held before the task and what it holds after it (in
      check mode, what it would hold).
    - The language and turbo speed as words (C(French), C(On), C(Off)), the polling interval as a
      number. A value the reader should not hold is null.
  returned: success
  type: dict
  sample:
    language: {before: English (US), after: French}
    polling: {before: 8, after: 4}
written:
  description:
    - The settings written to the reader, in the order they were written; empty in check mode and
      when the reader was as stated. On a failure, those written before it.
  returned: always
  type: list
  elements: str
  sample: [language, polling]
'''

import json

from ansible.module_utils.basic import AnsibleModule

SETTINGS = ('language', 'polling', 'turbo')


def setting_words(value):
    if value is None:
        return 'a value it should not hold'
    return str(value)


def diff_text(settings, key):
    return ''.join('%s: %s\n' % (name, setting_words(settings[name][key]))
                   for name in SETTINGS if name in settings)


def apply_arguments(params):
    arguments = []
    for name in SETTINGS:
        value = params[name]
        if value is None:
            continue
        if name == 'turbo':
            value = 'On' if value else 'Off'
        arguments.append('%s=%s' % (name, value))
    return arguments


def last_json_line(text):
    for line in reversed(text.splitlines()):
        line = line.strip()
        if line.startswith('{'):
            try:
                return json.loads(line)
            except ValueError:
                return None
    return None


def main():
    module = AnsibleModule(
        argument_spec=dict(
            language=dict(type='str'),
            polling=dict(type='int'),
            turbo=dict(type='bool'),
            path=dict(type='str'),
            serial=dict(type='str'),
        ),
        required_one_of=[SETTINGS],
        mutually_exclusive=[('path', 'serial')],
        supports_check_mode=True,
    )

    executable = module.get_bin_path('pelorin-cli')
    if executable is None:
        module.fail_json(msg='pelorin-cli not found on the PATH of the managed machine: install the '
                             'pelorin-cli package', written=[])

    command = [executable, '--json', '--yes']
    if module.check_mode:
        command.append('--check')
    if module.params['path']:
        command += ['--path', module.params['path']]
    if module.params['serial']:
        command += ['--serial', module.params['serial']]
    command += ['--', 'apply'] + apply_arguments(module.params)

    rc, out, err = module.run_command(command)
    result = last_json_line(out)
    if result is None:
        reason = err.strip().splitlines()[-1] if err.strip() else 'pelorin-cli gave no result'
        module.fail_json(msg=reason, rc=rc, cmd=command, written=[])

    written = result.get('written', [])
    if rc != 0 or result.get('exit_code', rc) != 0:
        # Settings written before the failure did change the reader.
        module.fail_json(msg=result.get('error', 'pelorin-cli ended with status %d' % rc), rc=rc,
                         cmd=command, changed=bool(written), written=written)

    settings = result.get('settings', {})
    outcome = dict(changed=bool(result.get('changed')), settings=settings, written=written)
    if module._diff:
        outcome['diff'] = dict(before=diff_text(settings, 'before'), after=diff_text(settings, 'after'))
    module.exit_json(**outcome)


if __name__ == '__main__':
    main()
