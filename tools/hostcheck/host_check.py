#!/usr/bin/env python3
"""Outside-in check of the built plug-in in real hosts: Qtractor's scanner and a headless Ardour session."""
import math
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
PLUG = "Calyth"
UNIQUE_ID = int.from_bytes(b"kdCa", "big")  # 0x6b644361

# Names and normalised defaults as the host sees them. A skew s puts value v at ((v - start) / (end - start)) ** s.
EXPECTED_PARAMS = [
    ("Input Gain", (70 / 76) ** 1.5),
    ("X Position", 0.5),
    ("Y Position", 0.5),
    ("Trajectory", 0.0),
    ("X Trajectory Rate", math.sqrt(0.099 / 0.999)),
    ("X Trajectory Range", 1.0),
    ("Y Trajectory Rate", math.sqrt(0.099 / 0.999)),
    ("Y Trajectory Range", 1.0),
    ("Out Gain", (70 / 82) ** 1.5),
    ("Dry/Wet", 0.5),
    ("Pole A Diff", 0.5),
    ("Pole B Diff", 0.5),
    ("Pole C Diff", 0.5),
    ("Pole D Diff", 0.5),
    ("Pole A Stereo Link", 0.0),
    ("Pole B Stereo Link", 0.0),
    ("Pole C Stereo Link", 0.0),
    ("Pole D Stereo Link", 0.0),
]

failures = []
passes = []


def check(condition, what):
    print(("  ok   " if condition else "  FAIL ") + what)
    (passes if condition else failures).append(what)


def run(cmd, env, timeout=120, stdin=None):
    result = subprocess.run(cmd, env=env, input=stdin, capture_output=True, text=True, timeout=timeout)
    return result.stdout + result.stderr


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: host_check.py PATH/TO/Calyth.so")
    so = os.path.realpath(sys.argv[1])
    work = tempfile.mkdtemp(prefix="calyth-hostcheck-")
    home = os.path.join(work, "home")
    env = dict(os.environ)
    env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"), XDG_CACHE_HOME=os.path.join(home, ".cache"),
               LXVST_PATH=os.path.dirname(so), PLUG=PLUG)
    env.pop("DISPLAY", None)
    os.makedirs(os.path.join(env["XDG_CONFIG_HOME"], "ardour7", "scripts"))

    print("== Qtractor plug-in scanner")
    out = run(["/usr/lib/x86_64-linux-gnu/qtractor/qtractor_plugin_scan"], env, stdin="VST:%s\n" % so)
    line = next((l for l in out.splitlines() if l.startswith("VST|")), "")
    fields = line.split("|")
    check(len(fields) >= 9, "scanner describes the plug-in: %r" % line)
    if len(fields) >= 9:
        check(fields[1] == PLUG, "name %r" % fields[1])
        check(fields[2] == "2:2", "audio inputs:outputs %s" % fields[2])
        check(fields[3] == "1:0", "MIDI inputs:outputs %s" % fields[3])
        check(fields[4] == "18:0", "parameters in:out %s" % fields[4])
        check(int(fields[8], 16) == UNIQUE_ID, "unique ID %s is 'kdCa'" % fields[8])

    print("== Ardour VST scanner")
    scan_env = dict(env, LD_LIBRARY_PATH="/usr/lib/ardour7")
    out = run(["/usr/lib/ardour7/ardour-vst-scanner", "-f", "-v", so], scan_env)
    info = re.search(r"<VST2Info ([^>]*)>", out)
    check(info is not None, "scanner caches the plug-in")
    if info:
        attrs = dict(re.findall(r'(\w+)="([^"]*)"', info.group(1)))
        check(attrs.get("name") == PLUG, "name %r" % attrs.get("name"))
        check(attrs.get("creator") == "Kelmor_Vantage", "vendor %r" % attrs.get("creator"))
        check(attrs.get("id") == str(UNIQUE_ID), "unique ID %s" % attrs.get("id"))
        check(attrs.get("category") == "Effect", "category %r" % attrs.get("category"))
        check((attrs.get("n_inputs"), attrs.get("n_outputs")) == ("2", "2"), "2 inputs and 2 outputs")
        check((attrs.get("n_midi_inputs"), attrs.get("n_midi_outputs")) == ("1", "0"), "receives MIDI, sends none")

    print("== Ardour session: the plug-in and its parameters")
    out = run(["ardour7-lua", os.path.join(HERE, "params.lua")], dict(env, SESSDIR=os.path.join(work, "params")))
    infos = [l.split("|") for l in out.splitlines() if l.startswith("INFO|")]
    check(len(infos) == 1, "Ardour loads the plug-in")
    if infos:
        _, name, maker, uid, ins, outs, midi = infos[0]
        check((name, maker, uid) == (PLUG, "Kelmor_Vantage", str(UNIQUE_ID)), "name, vendor, ID: %s %s %s" % (name, maker, uid))
        check((ins, outs, midi) == ("2", "2", "1"), "inputs %s, outputs %s, MIDI inputs %s" % (ins, outs, midi))
    params = [l.split("|") for l in out.splitlines() if l.startswith("PARAM|")]
    check(len(params) == 18, "18 parameters (%d)" % len(params))
    for (_, index, name, value), (want_name, want_value) in zip(params, EXPECTED_PARAMS):
        check(name == want_name and abs(float(value) - want_value) < 1e-3,
              "parameter %s %r at %s (want %r at %.4f)" % (index, name, value, want_name, want_value))

    print("hostcheck: %d passed, %d failed" % (len(passes), len(failures)))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
