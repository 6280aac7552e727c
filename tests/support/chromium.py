"""Headless Chromium driven through the DevTools protocol, for the page's test and figures.

Serves a directory on 127.0.0.1 and opens it in a Chromium of its own (a fresh profile, no
network of its own, everything on 127.0.0.1), then lets the caller navigate, evaluate, press keys
and take screenshots. Needs Debian's chromium and python3-websocket (run with /usr/bin/python3).
"""

import base64
import functools
import http.server
import json
import re
import shutil
import struct
import subprocess
import tempfile
import threading
import time
import urllib.request
import zlib

import websocket

CHROMIUM_FLAGS = [
    "--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--remote-debugging-address=127.0.0.1", "--remote-debugging-port=0",
    "--force-color-profile=srgb",
]

# Windows virtual-key codes, DOM key names and codes of the keys the game knows.
KEYS = {
    "Right": (39, "ArrowRight", "ArrowRight"), "Left": (37, "ArrowLeft", "ArrowLeft"),
    "Up": (38, "ArrowUp", "ArrowUp"), "Down": (40, "ArrowDown", "ArrowDown"),
    "W": (87, "w", "KeyW"), "A": (65, "a", "KeyA"), "S": (83, "s", "KeyS"), "D": (68, "d", "KeyD"),
    "Enter": (13, "Enter", "Enter"), "Escape": (27, "Escape", "Escape"),
}


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def wait_until(seconds, poll, interval=0.05):
    """Polls until poll() gives a true value, which it returns; None once `seconds` have gone."""
    deadline = time.monotonic() + seconds
    while True:
        value = poll()
        if value or time.monotonic() > deadline:
            return value or None
        time.sleep(interval)


class Browser:
    """A served directory and a headless Chromium with one page, until close()."""

    def __init__(self, site):
        handler = functools.partial(_QuietHandler, directory=site)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.address = "http://127.0.0.1:%d/" % self.server.server_address[1]
        self.profile = tempfile.mkdtemp(prefix="zorvane-chromium-")
        self.process = subprocess.Popen(
            ["chromium", *CHROMIUM_FLAGS, "--user-data-dir=" + self.profile, "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        self.events = []
        self.socket = None
        self._id = 0
        try:
            self._connect()
        except BaseException:
            self.close()
            raise

    def _connect(self):
        # Chromium names its DevTools port on standard error; the page is its first target.
        port = None
        for line in self.process.stderr:
            found = re.search(r"DevTools listening on ws://127\.0\.0\.1:(\d+)/", line)
            if found:
                port = found.group(1)
                break
        if port is None:
            raise RuntimeError("chromium ended before it offered DevTools")
        threading.Thread(target=self.process.stderr.read, daemon=True).start()
        targets = json.load(urllib.request.urlopen("http://127.0.0.1:%s/json/list" % port))
        page = next(t for t in targets if t["type"] == "page")
        self.socket = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=60)
        self.call("Runtime.enable")

    def call(self, method, **params):
        """One DevTools command; its result. Events that come meanwhile are kept in events."""
        self._id += 1
        self.socket.send(json.dumps({"id": self._id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self._id:
                if "error" in message:
                    raise RuntimeError("%s: %s" % (method, message["error"]))
                return message.get("result", {})
            self.events.append(message)

    def evaluate(self, expression):
        """The value of a JavaScript expression in the page."""
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True)
        if "exceptionDetails" in result:
            raise RuntimeError("%s: %s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

    def resize(self, width, height):
        """The page's viewport, in CSS pixels, one device pixel each."""
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=1, mobile=False)

    def open(self, query="", width=1320, height=1000, seconds=30):
        """Loads the served page with a query at a viewport of width x height CSS pixels, and
        waits until its script has run. False where it has not within `seconds`."""
        self.resize(width, height)
        url = self.address + query
        self.call("Page.navigate", url=url)
        loaded = "location.href === %s && typeof zorvanePage === 'object'" % json.dumps(url)

        def ready():
            try:
                return self.evaluate(loaded)
            except RuntimeError:  # the old page went away while the expression ran
                return False
        return wait_until(seconds, ready)

    def key(self, name):
        """A key pressed and let go."""
        code, key, dom_code = KEYS[name]
        for kind in ("keyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", type=kind, key=key, code=dom_code,
                      windowsVirtualKeyCode=code, nativeVirtualKeyCode=code)

    def screenshot(self, x, y, width, height):
        """The page's pixels in a rectangle: (width, height, rows of (r, g, b) tuples)."""
        shot = self.call("Page.captureScreenshot", format="png",
                         clip={"x": x, "y": y, "width": width, "height": height, "scale": 1})
        return decode_png(base64.b64decode(shot["data"]))

    def close(self):
        if self.socket is not None:
            self.socket.close()
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.server.shutdown()
        self.server.server_close()
        shutil.rmtree(self.profile, ignore_errors=True)


def decode_png(data):
    """An 8-bit RGB or RGBA PNG without interlace: (width, height, rows of (r, g, b))."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    position, chunks, header = 8, [], None
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            chunks.append(body)
        position += 12 + length
    width, height, depth, color, _, _, interlace = header
    if depth != 8 or color not in (2, 6) or interlace:
        raise ValueError("PNG of depth %d, colour type %d, interlace %d" % (depth, color, interlace))
    step = 3 if color == 2 else 4
    raw = zlib.decompress(b"".join(chunks))
    stride = width * step
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - step] if i >= step else 0
            up = previous[i]
            corner = previous[i - step] if i >= step else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                guess = left + up - corner
                near = min((abs(guess - left), 0, left), (abs(guess - up), 1, up),
                           (abs(guess - corner), 2, corner))
                line[i] = (line[i] + near[2]) & 0xFF
        rows.append([tuple(line[i:i + 3]) for i in range(0, stride, step)])
        previous = line
    return width, height, rows


def decode_bmp(data):
    """A 24-bit bottom-up BMP as SDL writes it: (width, height, rows of (r, g, b))."""
    offset, = struct.unpack("<I", data[10:14])
    width, height, _, bits = struct.unpack("<iiHH", data[18:30])
    if bits != 24 or height <= 0:
        raise ValueError("BMP of %d bits, height %d" % (bits, height))
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for y in range(height):
        line = data[offset + (height - 1 - y) * stride:][:width * 3]
        rows.append([(line[i + 2], line[i + 1], line[i]) for i in range(0, width * 3, 3)])
    return width, height, rows
