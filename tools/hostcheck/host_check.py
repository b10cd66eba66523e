#!/usr/bin/env python3
"""Outside-in check of the built plug-in in real hosts: Qtractor's scanner and a headless Ardour session."""
import array
import base64
import hashlib
import math
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

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


RATE = 48000


def session(env, work, name, load=False, params="", midi="", samples=None):
    """Runs the Ardour session script; returns the parameter values it printed, the captured audio and its output."""
    sessdir = os.path.join(work, name)
    run_env = dict(env, SESSDIR=sessdir, LOAD="1" if load else "0", PARAMS=params, MIDI=midi, IN_RAW="", OUT_RAW="")
    if samples is not None:
        run_env["IN_RAW"] = os.path.join(work, name + "-in.raw")
        run_env["OUT_RAW"] = os.path.join(work, name + "-out.raw")
        with open(run_env["IN_RAW"], "wb") as f:
            array.array("f", samples).tofile(f)
    out = run(["ardour7-lua", os.path.join(HERE, "session.lua")], run_env, timeout=180)
    values = {int(l.split("|")[1]): float(l.split("|")[3]) for l in out.splitlines() if l.startswith("PARAM|")}
    captured = None
    if samples is not None and os.path.exists(run_env["OUT_RAW"]):
        captured = array.array("f")
        with open(run_env["OUT_RAW"], "rb") as f:
            captured.frombytes(f.read())
    if not values:
        print(out[-2000:])
    return values, captured, out


def test_signal(seconds=1.0):
    """Interleaved stereo: two tones and a little noise."""
    rng = random.Random(5)
    samples = []
    for i in range(int(RATE * seconds)):
        t = i / RATE
        samples.append(0.3 * math.sin(2 * math.pi * 220 * t) + 0.02 * (rng.random() - 0.5))
        samples.append(0.3 * math.sin(2 * math.pi * 330 * t) + 0.02 * (rng.random() - 0.5))
    return samples


def check_audio(env, work):
    print("== Ardour session: audio through the plug-in")
    signal = test_signal()
    _, wet, _ = session(env, work, "audio-default", samples=signal)
    check(wet is not None and len(wet) == len(signal), "captured the processed audio")
    if wet:
        check(all(math.isfinite(v) for v in wet), "output is finite")
        rms = math.sqrt(sum(v * v for v in wet) / len(wet))
        check(rms > 1e-3, "output is not silent (RMS %.5f)" % rms)

    _, dry, _ = session(env, work, "audio-dry", params="9=0", samples=signal)
    if dry:
        worst = max(abs(a - b) for a, b in zip(dry, signal))
        check(worst < 1e-4, "with dry_wet at 0 the output equals the input (largest difference %.2e)" % worst)
    else:
        check(False, "captured the audio with dry_wet at 0")


def saved_chunk_xml(session_file):
    """The XML text of the plug-in's chunk in a saved session, or an empty text."""
    try:
        with open(session_file) as f:
            match = re.search(r'<chunk program="\d+">([^<]*)<', f.read())
        chunk = base64.b64decode(match.group(1))
        if chunk[:4] != bytes.fromhex("56433221") or int.from_bytes(chunk[4:8], "little") != len(chunk) - 9 or chunk[-1] != 0:
            return ""
        return chunk[8:-1].decode("utf-8")
    except (OSError, AttributeError, ValueError):
        return ""


def replace_chunk(session_file, edit):
    """Decodes the plug-in's chunk in a saved session, lets `edit` change its XML text, and writes it back."""
    with open(session_file) as f:
        text = f.read()
    match = re.search(r'(<chunk program="\d+">)([^<]*)(<)', text)
    if not match:
        return False
    chunk = base64.b64decode(match.group(2))
    xml = chunk[8:-1].decode("utf-8")
    body = edit(xml).encode("utf-8")
    new_chunk = chunk[:4] + len(body).to_bytes(4, "little") + body + b"\0"
    text = text[:match.start(2)] + base64.b64encode(new_chunk).decode("ascii") + text[match.end(2):]
    with open(session_file, "w") as f:
        f.write(text)
    return True


def check_state(env, work):
    print("== Ardour session: state saved and restored with the session")
    changed = {1: 0.25, 2: 0.75, 9: 0.3, 14: 1.0}
    session(env, work, "state", params=",".join("%d=%g" % kv for kv in changed.items()))
    session_file = os.path.join(work, "state", "calyth.ardour")
    xml = saved_chunk_xml(session_file)
    check(xml.startswith("<Calyth>") and '<PARAM id="x_pos" value="0.25"/>' in xml and "<Metadata " in xml,
          "the saved session holds the plug-in's state chunk with the changed values")
    restored = session(env, work, "state", load=True)[0]
    for index, value in changed.items():
        check(abs(restored.get(index, -1) - value) < 1e-3, "parameter %d restored as %s (set %.3f)" % (index, restored.get(index), value))
    check(abs(restored.get(8, -1) - (70 / 82) ** 1.5) < 1e-3, "an unchanged parameter keeps its default")

    print("== Ardour session: a controller bound in the chunk moves its parameter")
    bound = replace_chunk(session_file, lambda xml: re.sub(r"<Calyth_MIDI_MAP\s*/>|<Calyth_MIDI_MAP>.*?</Calyth_MIDI_MAP>",
                                                           '<Calyth_MIDI_MAP><x_pos cc="7"/></Calyth_MIDI_MAP>', xml))
    check(bound, "the saved session holds the plug-in's chunk")
    moved = session(env, work, "state", load=True, midi="b0 07 7f")[0]
    check(abs(moved.get(1, -1) - 1.0) < 1e-3, "controller 7 at 127 sets x_pos to 1 (%s)" % moved.get(1))

    print("== Ardour session: a program change recalls a preset of the MIDI folder")
    midi_folder = os.path.join(env["HOME"], "Library", "Audio", "Presets", "Kelmor_Vantage", "Calyth", "MIDI")
    os.makedirs(midi_folder, exist_ok=True)
    with open(os.path.join(midi_folder, "b second.cpst"), "w") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<Calyth><PARAM id="y_pos" value="0.9"/></Calyth>\n')
    with open(os.path.join(midi_folder, "a first.cpst"), "w") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<Calyth>\n  <PARAM id="y_pos" value="0.125"/>\n'
                '  <PARAM id="out_gain" value="-6"/>\n</Calyth>\n')
    recalled = session(env, work, "program", midi="c3 00")[0]
    check(abs(recalled.get(2, -1) - 0.125) < 1e-3, "program 0 sets y_pos to 0.125 (%s)" % recalled.get(2))
    check(abs(recalled.get(8, -1) - (64 / 82) ** 1.5) < 1e-3, "program 0 sets out_gain to -6 dB (%s)" % recalled.get(8))


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: host_check.py PATH/TO/Calyth.so")
    so = os.path.realpath(sys.argv[1])
    work = tempfile.mkdtemp(prefix="calyth-hostcheck-")
    home = os.path.join(work, "home")
    env = dict(os.environ)
    env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"), XDG_CACHE_HOME=os.path.join(home, ".cache"),
               LXVST_PATH=os.path.dirname(so), PLUG=PLUG)
    # A display name that names no server. Unset, the framework connects to :0, which on a shared machine may be
    # another check's Xvfb: when that one exits, our scanner or session dies with it (before the scanner has written
    # its cache, Ardour then finds no plug-in).
    env["DISPLAY"] = "none"
    scripts = os.path.join(env["XDG_CONFIG_HOME"], "ardour7", "scripts")
    os.makedirs(scripts)
    for name in os.listdir(os.path.join(HERE, "scripts")):
        shutil.copy(os.path.join(HERE, "scripts", name), scripts)

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
        check("GUI" in fields[5].split(","), "the plug-in has an editor (flags %s)" % fields[5])

    print("== Ardour VST scanner")
    # Ardour trusts a cache entry only when it is newer than the plug-in in whole seconds.
    if os.path.exists(so):
        time.sleep(max(0.0, math.floor(os.stat(so).st_mtime) + 1.0 - time.time()))
    scan_env = dict(env, LD_LIBRARY_PATH="/usr/lib/ardour7")
    out = run(["/usr/lib/ardour7/ardour-vst-scanner", "-f", "-v", so], scan_env)
    info = re.search(r"<VST2Info ([^>]*)>", out)
    cache = os.path.join(env["XDG_CACHE_HOME"], "ardour7", "vst", hashlib.sha1(so.encode()).hexdigest() + "-x64.v2i")
    check(info is not None and os.path.isfile(cache), "scanner describes and caches the plug-in")
    if not os.path.isfile(cache):
        print(out[-2000:])
    if info:
        attrs = dict(re.findall(r'(\w+)="([^"]*)"', info.group(1)))
        check(attrs.get("name") == PLUG, "name %r" % attrs.get("name"))
        check(attrs.get("creator") == "Kelmor_Vantage", "vendor %r" % attrs.get("creator"))
        check(attrs.get("id") == str(UNIQUE_ID), "unique ID %s" % attrs.get("id"))
        check(attrs.get("category") == "Effect", "category %r" % attrs.get("category"))
        check((attrs.get("n_inputs"), attrs.get("n_outputs")) == ("2", "2"), "2 inputs and 2 outputs")
        check((attrs.get("n_midi_inputs"), attrs.get("n_midi_outputs")) == ("1", "0"), "receives MIDI, sends none")
        check(attrs.get("has_editor") == "1", "has an editor")

    print("== Ardour session: the plug-in and its parameters")
    out = session(env, work, "params")[2]
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

    check_audio(env, work)
    check_state(env, work)

    print("hostcheck: %d passed, %d failed" % (len(passes), len(failures)))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
