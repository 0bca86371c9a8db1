#!/usr/bin/env python3
"""Takes one in-game screenshot per level group: for each group it writes a state file in which
every earlier level is passed and the group's first level is selected, starts the real game
under the current X display, presses Enter to start that level, rolls for a moment and saves a
screenshot. Usage (under a display, e.g. xvfb-run -a -s "-screen 0 640x480x24"):
    tools/shots/theme_shots.py BUILD_DIR DATA_DIR OUT_DIR [GROUP...]
"""
import os
import subprocess
import sys
import tempfile
import time

SETTINGS = 25
LEVELS = 500


def state_text(selected, passed_below):
    """The save string: settings and checksum, badge words and checksum, per-level records."""
    settings = [0] * SETTINGS
    settings[4] = selected - 1
    settings[5] = 2  # effects only, no music
    out = [str(v) for v in settings]
    out.append(str(to_int(sum(v * i for i, v in enumerate(settings)))))
    out += ["0"] * 8 + ["0"]
    for k in range(LEVELS):
        stat = [0] * 10
        if k < passed_below - 1:
            stat[8] = -1  # passed
        total = 0
        for r in range(10):
            out += ["0", "0", str(stat[r])]
            total += (k + 7 + r) * stat[r]
        out.append(str(to_int(total)))
    return "|".join(out) + "|"


def to_int(value):
    value &= 0xFFFFFFFF
    return value - (1 << 32) if value >= 1 << 31 else value


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.strip()


def shoot(build, data, out_dir, group):
    level = 10 * (group - 1) + 1
    with tempfile.TemporaryDirectory() as work:
        os.symlink(os.path.abspath(data), os.path.join(work, "data"))
        with open(os.path.join(work, ".zembrastate"), "w") as f:
            f.write(state_text(level, level))
        log = open(os.path.join(work, "out.txt"), "w")
        game = subprocess.Popen([os.path.join(build, "brambolt3")], cwd=work, stdout=log,
                                stderr=subprocess.STDOUT)
        try:
            # A busy machine can take long to open the window; a minute, then the group is
            # skipped with the game's output rather than the whole run ending.
            window = ""
            deadline = time.monotonic() + 60
            while not window and time.monotonic() < deadline and game.poll() is None:
                window = xdotool("search", "--name", "^Brambolt3$")
                time.sleep(0.2)
            if not window:
                print("group %d: no game window; its output:\n%s" %
                      (group, open(os.path.join(work, "out.txt")).read()), file=sys.stderr)
                return False
            window = window.split()[0]
            xdotool("windowfocus", "--sync", window)
            time.sleep(6.5)  # loader and intro
            for _ in range(40):
                if "Loading theme" in open(os.path.join(work, "out.txt")).read():
                    break
                xdotool("key", "--delay", "300", "Return")
                time.sleep(0.4)
            time.sleep(3.0)
            xdotool("key", "--delay", "300", "Right")  # ends the wait at the start
            xdotool("keydown", "Right")
            time.sleep(0.3)
            path = os.path.join(out_dir, "group%02d_level%03d.png" % (group, level))
            subprocess.run(["import", "-window", window, path])
            xdotool("keyup", "Right")
            print(path)
            return True
        finally:
            game.kill()
            game.wait()


def main():
    if len(sys.argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    build, data, out_dir = sys.argv[1:4]
    groups = [int(g) for g in sys.argv[4:]] or list(range(1, 16))
    os.makedirs(out_dir, exist_ok=True)
    missed = [group for group in groups if not shoot(build, data, out_dir, group)]
    if missed:
        print("no screenshot for groups: %s" % " ".join(map(str, missed)), file=sys.stderr)
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
