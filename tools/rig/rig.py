#!/usr/bin/env python3
"""Runs the device's flows on a real ARM Linux kernel under qemu-system-arm, one guest boot per
flow, and checks each on the console lines, the exit status, the NAND (dumped by the guest's /init
before power-off), the SD card (read back with mtools) and the screen (QMP screenshots, equal in
RGB565 to the simulator's screenshots of the same flow). Ends with "N passed, M failed".

Usage: rig.py --work DIR --kernel VMLINUZ --dtb DTB --initrd INITRD --data FLOW_DATA --sim TOVRASK_SIM
              [--only FLOW]
"""
import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import flows as flow_table  # noqa: E402
from guest import Guest  # noqa: E402
from pictures import Picture  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
BOARD = "Gumstix Overo"
# What the program reads of the kernel command line ("qlx=" and "lcdt="), for the guest and the
# simulator alike.
DEVICE_ARGS = "qlx=ArvelII lcdt=1"


def tree_listing(root):
    """The lines the guest's /init prints for a NAND holding this tree."""
    lines = []
    for folder, dirs, files in os.walk(root):
        for name in sorted(dirs + files):
            path = os.path.join(folder, name)
            rel = "/" + os.path.relpath(path, root)
            if os.path.islink(path):
                lines.append("%s -> %s" % (rel, os.readlink(path)))
            elif os.path.isdir(path):
                lines.append(rel + "/")
            else:
                with open(path, "rb") as f:
                    data = f.read()
                lines.append("%s %d %s" % (rel, len(data), hashlib.md5(data).hexdigest()))
    return sorted(lines)


def in_order(text, lines):
    """The first of the lines not found in text after the previous one, or None."""
    at = 0
    for line in lines:
        found = text.find(line, at)
        if found < 0:
            return line
        at = found + len(line)
    return None


class Rig:
    def __init__(self, args):
        self.args = args
        self.work = os.path.abspath(args.work)
        self.data = os.path.abspath(args.data)

    def sd_offset(self, n):
        out = subprocess.run(["bash", "-c", '. "$0"; sd_offset "$1"', os.path.join(HERE, "sd-layout.sh"),
                              str(n)], check=True, capture_output=True, text=True)
        return int(out.stdout)

    def sd_files(self, image, partition):
        out = subprocess.run(["mdir", "-b", "-i", "%s@@%d" % (image, self.sd_offset(partition)), "::/"],
                             capture_output=True, text=True)
        return sorted(line[3:] for line in out.stdout.splitlines() if line.startswith("::/"))

    def read_sd_file(self, image, partition, name):
        out = subprocess.run(["mtype", "-i", "%s@@%d" % (image, self.sd_offset(partition)), "::/" + name],
                             capture_output=True)
        return out.stdout if out.returncode == 0 else None

    def make_sd(self, flow, folder):
        image = os.path.join(folder, "sd.img")
        empty = os.path.join(folder, "empty")
        os.makedirs(empty, exist_ok=True)
        stick = os.path.join(self.data, "stick", flow.stick) if flow.stick else empty
        subprocess.run(["bash", os.path.join(HERE, "make-sd.sh"), image, os.path.join(self.data, "boot"),
                        os.path.join(self.data, "maps"), stick], check=True)
        return image

    def sim_root(self, flow, root, stick=None):
        """A simulated device holding what the guest starts from (another stick if given)."""
        stick = stick or flow.stick
        shutil.rmtree(root, ignore_errors=True)
        shutil.copytree(os.path.join(self.data, "nand", flow.nand), os.path.join(root, "dev/mtdblock4"),
                        symlinks=True)
        shutil.copytree(os.path.join(self.data, "boot"), os.path.join(root, "dev/mmcblk0p1"))
        shutil.copytree(os.path.join(self.data, "maps"), os.path.join(root, "dev/mmcblk0p2"))
        if stick:
            shutil.copytree(os.path.join(self.data, "stick", stick), os.path.join(root, "dev/sda1"))
        for d in ("mnt/nand", "mnt/usb", "mnt/maps", "proc", "sbin"):
            os.makedirs(os.path.join(root, d), exist_ok=True)
        with open(os.path.join(root, "proc/cmdline"), "w") as f:
            f.write("console=ttyAMA0 %s root=/dev/mtdblock4\n" % DEVICE_ARGS)
        with open(os.path.join(root, "proc/cpuinfo"), "w") as f:
            f.write("Processor\t: ARMv7 Processor rev 0 (v7l)\nHardware\t: %s\n" % BOARD)

    def sim_run(self, flow, root, keys, options, stick=None):
        self.sim_root(flow, root, stick)
        run = subprocess.run([self.args.sim, "--root", root, "--timeout-ms", "60000", "--keys", keys] + options,
                             capture_output=True, text=True)
        if run.returncode not in (0, 1, 124):
            raise RuntimeError("tovrask-sim ended with %d: %s" % (run.returncode, run.stderr))

    def sim_frames(self, flow, root, keys, frames, stick=None):
        self.sim_run(flow, root, keys, ["--frames", frames], stick)
        names = sorted(n for n in os.listdir(frames) if n.endswith(".png"))
        return list(zip(names, Picture.load_pngs([os.path.join(frames, n) for n in names])))

    def sim_pictures(self, flow, folder):
        """The simulator's pictures of the flow's screenshots: name -> [(file name, Picture), ...]."""
        wanted = {}
        for shot in flow.shots:
            root = os.path.join(folder, "sim-root")
            base = os.path.join(folder, "sim-" + shot.name)
            if not shot.any_frame:
                self.sim_run(flow, root, shot.sim_keys, ["--screenshot", base + ".png"])
                wanted[shot.name] = [(os.path.basename(base) + ".png", Picture.load_png(base + ".png"))]
                continue
            frames = self.sim_frames(flow, root, shot.sim_keys, base + "-frames")
            before = {p.rgb565() for _, p in self.sim_frames(flow, root, shot.sim_before_keys, base + "-before",
                                                               shot.before_stick)}
            # What follows the last frame the other run showed too, but for the run's last two frames
            # (its closing message and the screen after it).
            frames = frames[:-2]
            shown = [i for i, (_, p) in enumerate(frames) if p.rgb565() in before]
            wanted[shot.name] = frames[shown[-1] + 1 if shown else 0:]
            if not wanted[shot.name]:
                raise RuntimeError("the simulator showed no %s screen" % shot.name)
        return wanted

    def run_flow(self, flow):
        folder = os.path.join(self.work, flow.name)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        image = self.make_sd(flow, folder)
        wanted = self.sim_pictures(flow, folder)
        append = ["console=ttyAMA0", "loglevel=3", "vt.global_cursor_default=0", DEVICE_ARGS,
                  "rig.flow=" + flow.nand, "rig.stick=%d" % (1 if flow.stick else 0),
                  "rig.board=" + BOARD.replace(" ", "_")]
        if flow.stop:
            append += ['rig.stop="%s"' % flow.stop[0], "rig.stopcount=%d" % flow.stop[1]]
        guest = Guest(self.args.kernel, self.args.dtb, self.args.initrd, image, " ".join(append), folder)
        problems = guest.run(flow.script, wanted)
        console = guest.console()
        problems += self.check(flow, console, image)
        with open(os.path.join(folder, "console.txt"), "w") as f:
            f.write(console)
        return problems, guest, console

    def check(self, flow, console, image):
        problems = []
        missing = in_order(console, flow.lines)
        if missing is not None:
            problems.append("console: no %r (in order)" % missing)
        for line in flow.absent:
            if line in console:
                problems.append("console: %r should not be there" % line)
        status = [l[len("rig: status "):] for l in console.splitlines() if l.startswith("rig: status ")]
        if status != [str(flow.status)]:
            problems.append("exit status %s, expected %d" % (status or "none", flow.status))
        # The NAND as the guest saw it after the program.
        nand = sorted(l[len("rig: nand: "):] for l in console.splitlines() if l.startswith("rig: nand: "))
        expected = flow.nand_after(self.data, tree_listing)
        if nand != expected:
            extra = sorted(set(nand) - set(expected))
            lacking = sorted(set(expected) - set(nand))
            problems.append("NAND: unexpected %s, missing %s" % (extra, lacking))
        if "rig: nand mounted" not in console:
            problems.append("NAND: did not mount after the flow")
        # The boot partition as the guest left it, read back from the card.
        expected = flow.boot_after(self.data)
        names = self.sd_files(image, 1)
        if names != sorted(expected):
            problems.append("boot partition: files %s, expected %s" % (names, sorted(expected)))
        for name, contents in expected.items():
            got = self.read_sd_file(image, 1, name)
            if got != contents:
                problems.append("boot partition: %s is %r, expected %r" % (name, got, contents))
        return problems


def main():
    parser = argparse.ArgumentParser()
    for option in ("--work", "--kernel", "--dtb", "--initrd", "--data", "--sim"):
        parser.add_argument(option, required=True)
    parser.add_argument("--only", action="append", default=[])
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    rig = Rig(args)
    passed = failed = 0
    recorded = False
    for flow in flow_table.FLOWS:
        if args.only and flow.name not in args.only:
            continue
        start = time.monotonic()
        try:
            problems, guest, console = rig.run_flow(flow)
        except Exception as e:  # a broken rig fails the flow, and the run goes on
            problems, guest, console = ["rig error: %s" % e], None, ""
        seconds = time.monotonic() - start
        if not recorded and console:
            # For the record: what the guest saw.
            for line in console.splitlines():
                if line.startswith(("rig: fb0", "rig: input", "rig: block", "rig: mtd", "rig: kernel")):
                    print(line)
            recorded = True
        if problems:
            failed += 1
            print("FAIL %s (%.1f s)" % (flow.name, seconds))
            for p in problems:
                print("    " + p)
            print("    console: %s" % os.path.join(args.work, flow.name, "console.txt"))
        else:
            passed += 1
            print("ok   %s (%.1f s)%s" % (flow.name, seconds, guest.shot_summary() if guest else ""))
        sys.stdout.flush()
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
