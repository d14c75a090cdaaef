"""One boot of the rig's guest under qemu-system-arm: the console is a file, keys and screenshots go
over QMP. A script of words drives it as the simulator's key scripts do: key names, wait:MS,
until:TEXT (the console has shown TEXT since the previous until), and shot:NAME (the screen equals
one of the simulator's pictures NAME, looked at until it does)."""
import json
import os
import shlex
import shutil
import socket
import subprocess
import tempfile
import time

from pictures import Picture

# The program's keys by the names of the simulator's scripts, as QEMU's key codes.
KEYS = {"ESC": "esc", "F7": "f7", "ENTER": "ret", "F6": "f6", "F1": "f1", "F9": "f9", "F10": "f10",
        "UP": "up", "DOWN": "down"}
BOOT_SECONDS = 150  # a whole flow, boot to power-off, on a loaded 2-core machine
SHOT_SECONDS = 30   # a screen to reach the picture it should show


class Qmp:
    def __init__(self, path, process):
        deadline = time.monotonic() + 30
        while True:
            try:
                self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
                self.sock.connect(path)
                break
            except OSError:
                self.sock.close()
                if process.poll() is not None or time.monotonic() > deadline:
                    raise RuntimeError("QEMU's monitor did not come up")
                time.sleep(0.05)
        self.reader = self.sock.makefile("r")
        self.reader.readline()  # the greeting
        self.execute("qmp_capabilities")

    def execute(self, command, **arguments):
        message = {"execute": command}
        if arguments:
            message["arguments"] = arguments
        self.sock.sendall(json.dumps(message).encode() + b"\n")
        while True:
            line = self.reader.readline()
            if not line:
                raise RuntimeError("QEMU's monitor closed")
            reply = json.loads(line)
            if "event" in reply:
                continue
            if "error" in reply:
                raise RuntimeError("%s: %s" % (command, reply["error"].get("desc")))
            return reply.get("return")

    def close(self):
        self.reader.close()
        self.sock.close()


class Guest:
    def __init__(self, kernel, dtb, initrd, sd_image, append, folder):
        self.folder = folder
        self.console_path = os.path.join(folder, "serial.txt")
        self.command = ["qemu-system-arm", "-M", "vexpress-a9", "-m", "256", "-kernel", kernel, "-dtb", dtb,
                        "-initrd", initrd, "-append", append, "-drive", "if=sd,format=raw,file=" + sd_image,
                        "-display", "none", "-audiodev", "none,id=silent", "-serial", "file:" + self.console_path,
                        "-no-reboot"]
        self.shots = {}  # name -> the simulator's picture it equalled

    def console(self):
        try:
            with open(self.console_path, "rb") as f:
                return f.read().decode("utf-8", "replace").replace("\r\n", "\n")
        except OSError:
            return ""

    def shot_summary(self):
        parts = ["%s = simulator's %s" % (name, picture) for name, picture in self.shots.items()]
        return ", screens: " + "; ".join(parts) if parts else ""

    def run(self, script, wanted):
        """Boots, plays the script, waits for the guest to power off; the problems found."""
        problems = []
        # Ready before the boot: a screen may show for only a moment.
        targets = {name: {p.rgb565(): n for n, p in pictures} for name, pictures in wanted.items()}
        sockets = tempfile.mkdtemp(prefix="rig-")
        monitor = os.path.join(sockets, "qmp")
        with open(os.path.join(self.folder, "qemu.txt"), "w") as log:
            process = subprocess.Popen(self.command + ["-qmp", "unix:%s,server=on,wait=off" % monitor],
                                       stdout=log, stderr=subprocess.STDOUT)
        deadline = time.monotonic() + BOOT_SECONDS
        qmp = None
        try:
            qmp = Qmp(monitor, process)
            position = 0
            for word in shlex.split(script):
                if process.poll() is not None:
                    problems.append("the guest ended before %r" % word)
                    break
                if word.startswith("until:"):
                    position = self._until(word[6:], position, process, deadline)
                    if position is None:
                        problems.append("the console never showed %r" % word[6:])
                        break
                elif word.startswith("wait:"):
                    time.sleep(int(word[5:]) / 1000.0)
                elif word.startswith("shot:"):
                    problem = self._shot(qmp, word[5:], targets[word[5:]], wanted[word[5:]], process)
                    if problem:
                        problems.append(problem)
                else:
                    qmp.execute("send-key", keys=[{"type": "qcode", "data": KEYS[word]}], **{"hold-time": 30})
                    time.sleep(0.06)  # as a hand would: the device keeps only 15 presses waiting
            while process.poll() is None and time.monotonic() < deadline:
                time.sleep(0.05)
            if process.poll() is None:
                problems.append("the guest did not power off within %d s" % BOOT_SECONDS)
        except RuntimeError as e:
            problems.append(str(e))
        finally:
            if qmp is not None:
                qmp.close()
            if process.poll() is None:
                process.kill()
            process.wait()
            shutil.rmtree(sockets, ignore_errors=True)
        return problems

    def _until(self, text, position, process, deadline):
        while time.monotonic() < deadline:
            console = self.console()
            found = console.find(text, position)
            if found >= 0:
                return found + len(text)
            if process.poll() is not None:
                return None
            time.sleep(0.02)
        return None

    def _shot(self, qmp, name, targets, pictures, process):
        """Looks at the screen until it equals one of the pictures ((file name, Picture) pairs, and
        targets: their pixels -> file name); keeps the last look as NAME.png."""
        dump = os.path.join(self.folder, name + ".ppm")
        deadline = time.monotonic() + SHOT_SECONDS
        seen = None
        while time.monotonic() < deadline and process.poll() is None:
            qmp.execute("screendump", filename=dump)
            seen = Picture.load_ppm(dump)
            match = targets.get(seen.rgb565())
            if match is not None:
                self.shots[name] = match
                seen.save_png(os.path.join(self.folder, name + ".png"))
                os.remove(dump)
                return None
            time.sleep(0.02)  # the guest needs the host's cores more than this loop does
        if seen is None:
            return "screen %s: no screenshot could be taken" % name
        seen.save_png(os.path.join(self.folder, name + ".png"))
        os.remove(dump)
        closest = min(seen.differing_pixels(p) for _, p in pictures)
        return "screen %s: never equal to the simulator's (%d pixels differ at best; %s.png)" % (
            name, closest, name)
