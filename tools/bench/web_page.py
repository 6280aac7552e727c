"""The page's figures in headless Chromium: what it downloads (raw and gzip), navigation to the
first frame (the median of several loads, the browser's cache off), and ticks and frames a second
while it plays. Not a test: the figures depend on the machine.

Usage: /usr/bin/python3 web_page.py SITE [LOADS]
"""

import gzip
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "support"))
from chromium import Browser, wait_until  # noqa: E402

PLAY_SECONDS = 10


def downloads(site):
    code = everything = 0
    for name in sorted(os.listdir(site)):
        data = open(os.path.join(site, name), "rb").read()
        packed = len(gzip.compress(data, 6))  # a web server's usual level
        print("download: %-14s %8d bytes, %7d gzip" % (name, len(data), packed))
        everything += packed
        code += packed if name.endswith((".js", ".wasm")) else 0
    print("download: %.0f KB gzip in all, %.0f KB of it code" % (everything / 1000, code / 1000))


def main():
    site = sys.argv[1]
    loads = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    downloads(site)
    browser = Browser(site)
    try:
        # Every load fetches and compiles everything again, as a first visit does.
        browser.call("Network.enable")
        browser.call("Network.setCacheDisabled", cacheDisabled=True)
        firsts = []
        for _ in range(loads):
            shown = browser.open("?seed=12") and wait_until(
                30, lambda: browser.evaluate("zorvanePage.firstFrameAt"))
            if not shown:
                print("FAIL: no first frame within 30 s")
                return 1
            firsts.append(shown)
        print("first frame: median %.0f ms after navigation (%s)"
              % (statistics.median(firsts), ", ".join("%.0f" % f for f in firsts)))
        state = "[zorvanePage.ticks, zorvanePage.frames, performance.now()]"
        before = browser.evaluate(state)
        time.sleep(PLAY_SECONDS)
        after = browser.evaluate(state)
        seconds = (after[2] - before[2]) / 1000
        print("pace: %.2f ticks a second, %.1f frames a second over %.1f s"
              % ((after[0] - before[0]) / seconds, (after[1] - before[1]) / seconds, seconds))
    finally:
        browser.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
