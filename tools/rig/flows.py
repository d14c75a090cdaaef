"""The device's flows as the rig runs them on the real kernel: where each starts (the NAND, the
stick), the keys, and what must come of it (console lines in order, exit status, NAND and boot
partition afterwards, screens equal to the simulator's)."""
import os

MENU = 'until:"m_eState == sUpgrade" '
STICK = 'until:"Mounted /mnt/usb/" '
MARKER = "/etc/skip-update 1 c4ca4238a0b923820dcc509a6f75849b"  # "1"


def type_code(code):
    """Keys that type a hexadecimal access code into the password box: a step down on the end
    marker inserts "0", each further step moves on through "0123456789ABCDEF", ENTER goes to the
    next position; the last ENTER confirms. Spaced as a hand would."""
    keys = []
    for c in "%X" % code:
        keys += ["DOWN wait:20"] * (int(c, 16) + 1) + ["ENTER wait:20"]
    return " ".join(keys + ["ENTER"])


class Shot:
    """A screen the rig's screenshot must equal: the simulator's screenshot after sim_keys, or with
    any_frame, one of the frames it flushed during sim_keys (the progress shown depends on the
    moment) after the last one it also flushed during sim_before_keys with before_stick on the
    stick, other than its closing message and screen (the last two)."""

    def __init__(self, name, sim_keys, any_frame=False, sim_before_keys=None, before_stick=None):
        self.name = name
        self.sim_keys = sim_keys
        self.any_frame = any_frame
        self.sim_before_keys = sim_before_keys
        self.before_stick = before_stick


class Flow:
    def __init__(self, name, nand, stick, script, lines, status, absent=(), stop=None, shots=(),
                 nand_change=None, new_kernel=False):
        self.name = name
        self.nand = nand            # data/nand/NAME, the NAND's contents at boot
        self.stick = stick          # data/stick/NAME on the stick, or None: no stick
        self.script = script        # the guest's key script
        self.lines = lines          # console lines, in this order
        self.status = status        # the program's exit status
        self.absent = absent        # console texts that must not come
        self.stop = stop            # (TEXT, COUNT): the guest ends the program 1 s after it
        self.shots = shots
        self.nand_change = nand_change  # "erased", "marker", "update" or None (unchanged)
        self.new_kernel = new_kernel

    def nand_after(self, data, listing):
        if self.nand_change == "erased":
            return []
        before = listing(os.path.join(data, "nand", self.nand))
        if self.nand_change == "marker":
            return sorted(before + [MARKER])
        if self.nand_change == "update":
            # The bundle's files replace the NAND's; its boot/ goes onto the boot partition, which is
            # mounted there; the reboot request is left behind.
            update = [l for l in listing(os.path.join(data, "update")) if not l.startswith("/boot/")]
            paths = {l.split(" ")[0] for l in update}
            kept = [l for l in before if l.split(" ")[0] not in paths]
            return sorted(kept + update + ["/var/reboot 0 d41d8cd98f00b204e9800998ecf8427e"])
        return before

    def boot_after(self, data):
        """The boot partition's files (name -> contents) after the flow."""
        files = {}
        for source in [os.path.join(data, "boot")] + ([os.path.join(data, "update/boot")] if self.new_kernel else []):
            for name in os.listdir(source):
                with open(os.path.join(source, name), "rb") as f:
                    files[name] = f.read()
        return files

RESET_CODE = 0x7C3E9  # tovrask/AccessCodes.h: kReset
WRONG_CODE = 0x123

FLOWS = [
    Flow("normal-boot", "marked", None, "",
         ["Reading From : AT Raw Set 2 keyboard", "Mounted /mnt/nand/", "Logo image loaded.",
          "Init: App file found, size is 0 MB.", "Load complete in ", "kB/s. 728895",
          "Switching to main application.", "rig: status 0", "rig: main application started"],
         0, absent=["m_eState == sUpgrade", "rig: reboot"]),
    Flow("menu-start-normally", "plain", None,
         MENU + "shot:boot-options ENTER",
         ["Init: Skip file not found.", "m_eState == sUpgrade", "Switching to main application.",
          "rig: status 0", "rig: main application started"],
         0, nand_change="marker",
         shots=[Shot("boot-options", MENU + "wait:500 stop")]),
    Flow("update-new-kernel", "plain", "good",
         # The first file's line comes once "Installing" is on the screen.
         MENU + "DOWN ENTER " + STICK + "shot:file-list ENTER until:\"Extracting: \" shot:installing",
         ["Mounted /mnt/usb/", "File selected.", "Verify success.", "Mounted /mnt/nand/boot/",
          "Extracting: boot/zImage", "Bundle extraction is complete.", "Rebooting...", "rig: status 1",
          "rig: reboot"],
         1, absent=["rig: main application started"], nand_change="update", new_kernel=True,
         shots=[Shot("file-list", MENU + "DOWN ENTER " + STICK + "wait:500 stop"),
                # Verifying the bad bundle of the same size shows the "Verifying" screens of the
                # good one (all but 100 %, which the screen no longer shows at "Extracting: "):
                # what is left is "Installing".
                Shot("installing", MENU + "DOWN ENTER " + STICK + "ENTER", any_frame=True,
                     sim_before_keys=MENU + "DOWN ENTER " + STICK + "ENTER until:\"Verify error\" wait:300 stop",
                     before_stick="bad")]),
    Flow("update-bad-checksum", "plain", "bad",
         MENU + "DOWN ENTER " + STICK + "ENTER " + MENU + "ENTER",
         ["Mounted /mnt/usb/", "File selected.", "Invalid MD5 of the bundle file.", "Verify error -43.",
          "m_eState == sUpgrade", "Switching to main application.", "rig: status 0"],
         0, absent=["Extracting: "], nand_change="marker"),
    Flow("update-no-stick", "plain", None,
         MENU + "DOWN ENTER " + MENU + "ENTER",
         ["m_eState == sUpgrade", "Mount /mnt/usb/ failed.", "m_eState == sUpgrade",
          "Switching to main application.", "rig: status 0"],
         0, nand_change="marker"),
    Flow("system-reset", "plain", None,
         MENU + "DOWN DOWN ENTER wait:500 " + type_code(RESET_CODE),
         ["Password entered.", "Pass 0x7c3e9.", "Unmounting /mnt/nand/ ... Ok.",
          "Filesystem format: flash_eraseall /dev/mtd4", "Mounted /mnt/nand/", "Init: Skip file not found.",
          "m_eState == sUpgrade", "rig: status 143"],
         143, stop=("m_eState == sUpgrade", 2), nand_change="erased"),
    Flow("system-reset-wrong-code", "plain", None,
         MENU + "DOWN DOWN ENTER wait:500 " + type_code(WRONG_CODE) + " " + MENU + "ENTER",
         ["Pass 0x123.", "m_eState == sUpgrade", "Switching to main application.", "rig: status 0"],
         0, absent=["Filesystem format"], nand_change="marker"),
]
