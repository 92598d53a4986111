#!/usr/bin/env python3
"""Shows the device service at work with the virtual keyboard (run.sh's
second half): starts KorvexHid.exe in a data folder of its own, waits until
the keyboard is taken in, gives the current profile per-key colours, a
remapped key and a macro key as the settings page would, applies it as the
page does, photographs the progress window, and prints what the keyboard
holds afterwards.

    service_demo.py --dist DIR --helpers DIR --screenshot FILE

Needs WINEPREFIX and DISPLAY. The prefix's own data folder is put back as it
was when the demo ends.
"""

import argparse
import colorsys
import subprocess
import sys
from pathlib import Path

sys.dont_write_bytecode = True  # nothing lands in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))
from service_harness import (  # noqa: E402
    PROGRESS_WINDOW, SERVICE_WINDOW, WM_HID_APPLY_PROFILE, WM_HID_SHOW_PROGRESS, ServiceSession, Timeout,
    macro_document, wait_until, write_utf16)

KEY_COUNT = 111
FUNCTION_SINGLE_KEY, FUNCTION_MACRO = 0x1D1, 0x200
# A short macro of four events (attributeH, attributeL, key code).
HELLO_MACRO = [(0x80, 0, 0x0B), (0, 50, 0x0B), (0x80, 0, 0x0C), (0, 50, 0x0C)]


def rainbow(index):
    """0x00BBGGRR of a hue that runs once across the keys."""
    r, g, b = colorsys.hsv_to_rgb(index / KEY_COUNT, 1.0, 1.0)
    return int(r * 255) | int(g * 255) << 8 | int(b * 255) << 16


def edit_current_profile(session):
    write_utf16(session.data / "Macros" / "hello.macro", macro_document("hello", 1, HELLO_MACRO))
    profile = session.profile(1)
    for key in range(KEY_COUNT):
        profile.set_key(key, coLightRGB=rainbow(key))
    profile.set_key(0, bySelFunc=1, byBtnFun=FUNCTION_SINGLE_KEY, byKeyNumber=0x39)  # Esc sends Caps Lock
    profile.set_key(16, bySelFunc=1, byBtnFun=FUNCTION_MACRO, MacroName="hello")
    profile.set_lighting(byLightEffect=19, byLightBright=4)
    profile.save()


def summary(before, after):
    lighting = after["lighting"]
    changes = [f"{i}: 0x{a:02X} -> 0x{b:02X}" for i, (a, b) in enumerate(zip(before["keymap"], after["keymap"]))
               if a != b]
    macros = [f"slot {slot}: repeat {m['repeat']}, {len(m['events'])} events" for slot, m in after["macros"].items()]
    position = str(after["profile"])
    coloured = sum(1 for c in after["keyColors"].get("1", []) if c != [0, 0, 0])
    lines = [
        "The virtual keyboard now holds:",
        f"  plugged: {after['plugged']}, firmware {after['firmware'][0]}.{after['firmware'][1]},"
        f" profile selected on the keyboard itself: position {position}",
        f"  lighting: effect {lighting['effect']}, brightness {lighting['brightness']}, speed {lighting['speed']},"
        f" direction {lighting['direction']}, colour mode {lighting['colorType']}",
        f"  key map differences from the factory map (matrix position: old -> new): {', '.join(changes) or 'none'}",
        f"  macros: {'; '.join(macros) or 'none'}",
        f"  key colours set for profile position 1: {coloured} of {len(after['keyColors'].get('1', []))}",
    ]
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--dist", required=True)
    parser.add_argument("--helpers", required=True)
    parser.add_argument("--screenshot", required=True)
    args = parser.parse_args()
    screenshot = Path(args.screenshot).resolve()
    screenshot.parent.mkdir(parents=True, exist_ok=True)
    try:
        with ServiceSession(args.dist, args.helpers) as session:
            session.remove_work_folder_at_exit = True
            print("Starting KorvexHid.exe with the virtual keyboard...")
            service = session.start_service()
            session.wait_plugged()
            print(f"  service window \"{SERVICE_WINDOW}\" ready, keyboard plugged (firmware 1.0), "
                  f"process {service.pid}")
            before = session.keyboard()
            edit_current_profile(session)
            print("Applying profile 1 as the settings page does (show progress, apply with lighting)...")
            session.post(SERVICE_WINDOW, WM_HID_SHOW_PROGRESS)
            session.post(SERVICE_WINDOW, WM_HID_APPLY_PROFILE, 1, 0)
            session.wait_window_visible(PROGRESS_WINDOW, 30)
            # Photograph once the key colours are on their way, so the bar shows progress.
            wait_until(lambda: any(r["bytes"][:2] == [0x0A, 0x0C] for r in session.report_log()), 30,
                       "the key colours to be sent")
            subprocess.run(["import", "-display", session.env["DISPLAY"], "-window", "root", str(screenshot)],
                           check=True)
            session.wait_window_gone(PROGRESS_WINDOW, 90)
            print("  download finished, progress window closed")
            print(summary(before, session.keyboard()))
            session.stop_service()
            print("  service ended")
    except (AssertionError, Timeout) as failure:
        print(f"service_demo: {failure}", file=sys.stderr)
        return 1
    print(f"Screenshot of the progress window: {screenshot}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
