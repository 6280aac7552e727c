"""The game's page in headless Chromium: the first frame appears; a seeded start shows, pixel for
pixel, the picture the desktop zorvane-replay --frames gives for the same seed; the timer keeps
50 ticks a second within 1 %; sound starts at the first key; keys move the right block; Escape
ends the game and Enter starts a new one; nothing goes wrong meanwhile; ?cpu=red has the computer
play red; bad parameters are refused with the game's own messages.

Usage: /usr/bin/python3 page_test.py SITE REPLAY DATA
  SITE    the built page (build/web/site)
  REPLAY  the desktop zorvane-replay, DATA the directory of its bitmaps and settings
"""

import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "support"))
from chromium import Browser, decode_bmp, wait_until  # noqa: E402

# Both blocks start at rest, away from the walls and from each other: the picture stays as it is
# until a key moves a block (checked below with the replay tool).
SEED = 12
TICKS_PER_SECOND = 50
PACE_SECONDS = 5
PACE_TRIES = 6
SKIPPED = 77  # CTest's SKIP_RETURN_CODE

failures = 0
skipped = 0


def check(held, message):
    global failures
    print(("ok: " if held else "FAIL: ") + message, flush=True)
    failures += 0 if held else 1
    return held


def skip(message):
    """A check this machine cannot make now, and why."""
    global skipped
    print("skipped: " + message, flush=True)
    skipped += 1


def page(browser, expression):
    return browser.evaluate("zorvanePage." + expression)


def replay_start_frame(replay, data):
    """The frame the replay tool shows at the start with SEED, and again 50 ticks later."""
    with tempfile.TemporaryDirectory() as frames:
        subprocess.run([replay, "--dir", data, "--seed", str(SEED), "--frames", frames],
                       input="frame\ntick 50\nframe\n", text=True, check=True,
                       stdout=subprocess.DEVNULL)
        first, later = (open(os.path.join(frames, "frame-%06d.bmp" % n), "rb").read()
                        for n in (1, 2))
    return first, later


def shown_picture(browser):
    """What the page shows of the game: the screenshot of the canvas's rectangle."""
    box = browser.evaluate("(() => { const r = zorvanePage.canvas.getBoundingClientRect();"
                           " return [r.x, r.y, r.width, r.height]; })()")
    return browser.screenshot(*box)


def check_first_frame(browser, replay, data):
    first, later = replay_start_frame(replay, data)
    check(first == later, "with seed %d the replay's picture stays still for 50 ticks" % SEED)
    shown = browser.open("?seed=%d" % SEED) and wait_until(30, lambda: page(browser, "frames") >= 3)
    if not check(shown, "the first frame appears"):
        return False
    print("first frame %.0f ms after navigation" % page(browser, "firstFrameAt"))
    width, height, rows = shown_picture(browser)
    check((width, height) == (1280, 960), "the page shows the game at 2x where it fits: %dx%d"
          % (width, height))
    # Both show the game's RGB565 picture in 8 bits a channel, each its own way: the replay
    # tool's file through SDL's conversion, the game by repeating each channel's bits into the low
    # bits. The 565 picture is the top bits of either, and the page shows the game's expansion.
    def as_the_game_shows(r, g, b):
        r, g, b = r >> 3, g >> 2, b >> 3
        return (r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2)
    expected = [[as_the_game_shows(*pixel) for pixel in row] for row in decode_bmp(first)[2]]
    differing = sum(1 for y in range(height) for x in range(width)
                    if rows[y][x] != expected[y // 2][x // 2])
    check(differing == 0, "seed %d shows the replay tool's picture, pixel for pixel (%d differ)"
          % (SEED, differing))
    browser.resize(1000, 800)
    size = "[zorvanePage.canvas.style.width, zorvanePage.canvas.style.height]"
    check(wait_until(5, lambda: browser.evaluate(size) == ["640px", "480px"]),
          "and at 1x where 2x does not fit: %s" % browser.evaluate(size))
    return True


def check_pace(browser):
    """Judged over 5 s in which every frame came within a tick's 20 ms of the one before: a frame
    that comes later on a busy machine takes a tick due meanwhile along, as it does in the desktop
    game, since ticks missed are not made up."""
    state = "[zorvanePage.ticks, zorvanePage.frames, performance.now(), zorvanePage.longestGap]"
    for _ in range(PACE_TRIES):
        before = browser.evaluate("zorvanePage.longestGap = 0, " + state)
        time.sleep(PACE_SECONDS)
        after = browser.evaluate(state)
        seconds = (after[2] - before[2]) / 1000
        ticks = (after[0] - before[0]) / seconds
        print("pace: %.2f ticks and %.1f frames a second over %.2f s, frames at most %.1f ms apart"
              % (ticks, (after[1] - before[1]) / seconds, seconds, after[3]))
        if after[3] < 1000 / TICKS_PER_SECOND:
            check(abs(ticks - TICKS_PER_SECOND) <= TICKS_PER_SECOND / 100,
                  "the timer ticks 50 times a second within 1 %")
            return
    skip("the pace: in every %d s the browser drew a frame later than 20 ms after the one before"
         % PACE_SECONDS)


def check_keys(browser):
    blue, red = page(browser, "blue"), page(browser, "red")
    audio = "Module.SDL2.audioContext.state"
    before = browser.evaluate(audio)
    browser.key("Right")
    check(before == "suspended" and wait_until(5, lambda: browser.evaluate(audio) == "running"),
          "sound starts at the first key: the audio context was %s" % before)
    moved = wait_until(5, lambda: page(browser, "blue")[0] != blue[0])
    now_blue, now_red = page(browser, "blue"), page(browser, "red")
    check(moved and now_blue[0] > blue[0] and now_blue[1] == blue[1] and now_red == red,
          "Right moves the blue block right, and only it: %s -> %s" % (blue[:2], now_blue[:2]))
    blue_y = now_blue[1]
    browser.key("W")
    moved = wait_until(5, lambda: page(browser, "red")[1] != red[1])
    now_blue, now_red = page(browser, "blue"), page(browser, "red")
    check(moved and now_red[1] < red[1] and now_red[0] == red[0] and now_blue[1] == blue_y,
          "W moves the red block up, and only it: %s -> %s" % (red[:2], now_red[:2]))


def check_escape(browser):
    browser.key("Escape")
    over = wait_until(5, lambda: page(browser, "over"))
    text = page(browser, "message.hidden ? '' : zorvanePage.message.innerText")
    check(over and text == "Game over — press Enter to play again",
          "Escape ends the game and the page says so: '%s'" % text)
    frames = page(browser, "frames")
    time.sleep(0.5)
    check(page(browser, "frames") == frames, "no frame is drawn once the game has ended")
    browser.key("Enter")
    again = wait_until(10, lambda: page(browser, "frames") > 0 and not page(browser, "over"))
    check(again and page(browser, "running"), "Enter starts a new game")


def check_quiet(browser):
    """Nothing went wrong in the page while it played: no error and no exception."""
    wrong = [event["params"] for event in browser.events
             if event.get("method") == "Runtime.exceptionThrown" or
             (event.get("method") == "Runtime.consoleAPICalled" and
              event["params"]["type"] in ("error", "assert"))]
    check(not wrong, "the page said nothing went wrong: %s" % wrong)


def check_computer(browser):
    """?cpu=red: the computer drives the red block and nobody presses a key."""
    started = browser.open("?cpu=red&level=3&seed=%d" % SEED) and wait_until(
        30, lambda: page(browser, "frames") > 0)
    red = started and page(browser, "red")
    moved = started and wait_until(10, lambda: page(browser, "red")[:2] != red[:2])
    check(moved and page(browser, "blue")[2:4] == [0, 0],
          "?cpu=red: the computer moves red, blue stays still: %s -> %s"
          % (red, started and page(browser, "red")))


def check_refusals(browser):
    for query, expected in [
            ("?settings=1,2,3", "--settings: twelve numbers separated by commas"),
            ("?settings=5,0.5,30,15,10,100,5,0.5,30,15,10,1e39", "'1e39' (number 12)"),
            ("?seed=-1", "--seed takes a whole number from 0 to 4294967295"),
            ("?host", "Network play needs the desktop game"),
            ("?cpu=red&level=4", "--level takes 1, 2 or 3"),
            ("?bogus=1", "unknown argument '--bogus=1'")]:
        errors = browser.open(query) and wait_until(30, lambda: page(browser, "errors"))
        check(errors and expected in errors[0] and page(browser, "frames") == 0,
              "%s is refused: %s" % (query, errors))


def main():
    site, replay, data = sys.argv[1:4]
    browser = Browser(site)
    try:
        # Without a game on the page, the rest has nothing to look at.
        if check_first_frame(browser, replay, data):
            check_pace(browser)
            check_keys(browser)
            check_escape(browser)
            check_quiet(browser)
        check_computer(browser)
        check_refusals(browser)
    finally:
        browser.close()
    if failures:
        print("%d check(s) failed" % failures)
        return 1
    return SKIPPED if skipped else 0


if __name__ == "__main__":
    sys.exit(main())
