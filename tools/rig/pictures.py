"""Screen pictures as the rig compares them: 8-bit RGB rows, read from QEMU's PPM screendumps and
the simulator's PNGs, compared in RGB565 (the framebuffer's own format). QEMU widens 565 by
shifting, the simulator by repeating the high bits; the top 5/6/5 bits are the pixel either way."""
import struct
import subprocess
import zlib

_MASK = bytes([0xF8, 0xFC, 0xF8])


class Picture:
    def __init__(self, width, height, rgb):
        self.width = width
        self.height = height
        self.rgb = rgb

    def rgb565(self):
        """The pixels as the framebuffer held them, as one number to compare."""
        mask = int.from_bytes(_MASK * (self.width * self.height), "big")
        return int.from_bytes(self.rgb, "big") & mask

    def same_pixels(self, other):
        return (self.width, self.height) == (other.width, other.height) and self.rgb565() == other.rgb565()

    def differing_pixels(self, other):
        if (self.width, self.height) != (other.width, other.height):
            return self.width * self.height
        difference = (self.rgb565() ^ other.rgb565()).to_bytes(len(self.rgb), "big")
        return sum(1 for i in range(0, len(difference), 3) if difference[i:i + 3] != b"\0\0\0")

    @staticmethod
    def load_ppm(path):
        with open(path, "rb") as f:
            data = f.read()
        fields = []
        at = 0
        while len(fields) < 4:
            while data[at:at + 1].isspace():
                at += 1
            if data[at:at + 1] == b"#":
                at = data.index(b"\n", at)
                continue
            end = at
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[at:end])
            at = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise ValueError("%s: not an 8-bit PPM" % path)
        width, height = int(fields[1]), int(fields[2])
        rgb = data[at + 1:at + 1 + width * height * 3]
        if len(rgb) != width * height * 3:
            raise ValueError("%s: short PPM" % path)
        return Picture(width, height, rgb)

    @staticmethod
    def load_pngs(paths):
        """PNGs, decoded by one run of ImageMagick (Python alone is too slow for a run of frames)."""
        sizes = []
        for path in paths:
            with open(path, "rb") as f:
                head = f.read(24)
            if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
                raise ValueError("%s: not a PNG" % path)
            sizes.append(struct.unpack(">II", head[16:24]))
        rgb = subprocess.run(["convert"] + list(paths) + ["-depth", "8", "rgb:-"], check=True,
                             capture_output=True).stdout
        pictures, at = [], 0
        for width, height in sizes:
            pictures.append(Picture(width, height, rgb[at:at + width * height * 3]))
            at += width * height * 3
        if at != len(rgb):
            raise ValueError("%s: cannot be read" % " ".join(paths))
        return pictures

    @staticmethod
    def load_png(path):
        return Picture.load_pngs([path])[0]

    def save_png(self, path):
        stride = self.width * 3
        raw = b"".join(b"\x00" + self.rgb[y * stride:(y + 1) * stride] for y in range(self.height))

        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n")
            f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)))
            f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
            f.write(chunk(b"IEND", b""))

