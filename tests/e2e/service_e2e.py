#!/usr/bin/env python3
"""End-to-end checks of the device service KorvexHid.exe under Wine with the
virtual keyboard. One check per run:

    service_e2e.py --dist DIR --helpers DIR [--screenshots DIR] CHECK

Needs WINEPREFIX and DISPLAY (tools/wine-env.sh's korvex_wine_up). Exits 0
when the check passed, 1 with the reason when it failed.
"""

import argparse
import re
import subprocess
import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True  # nothing lands in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parent))
from service_harness import (  # noqa: E402
    KEY_MATRIX_POSITION, PROGRESS_WINDOW, SERVICE_WINDOW, WM_HID_APPLY_LIGHTING, WM_HID_APPLY_PROFILE, WM_HID_DEVICE_CHANGE,
    WM_HID_LIGHT_BRIGHTNESS, WM_HID_LIGHT_DIRECTION, WM_HID_LIGHT_EFFECT, WM_HID_PROFILE_INDEX, WM_HID_RELOAD,
    WM_HID_SHOW_PROGRESS, ServiceSession, Timeout, macro_document, read_utf16, registry_key, registry_value,
    wait_until, windows_path, write_utf16)

CHECKS = {}


def check(function):
    CHECKS[function.__name__] = function
    return function


def expect(condition, message):
    if not condition:
        raise AssertionError(message)


def logged(log, line):
    return log.exists() and line in log.read_text().splitlines()


def apply_profile(session, timeout=90):
    """Posts what the settings page posts on Apply and waits until the
    download has ended (its progress window has come and gone)."""
    session.post(SERVICE_WINDOW, WM_HID_SHOW_PROGRESS)
    session.post(SERVICE_WINDOW, WM_HID_APPLY_PROFILE, 1, 0)
    session.wait_window_visible(PROGRESS_WINDOW, 20)
    session.wait_window_gone(PROGRESS_WINDOW, timeout)


# ---- single instance and first start ----

@check
def second_copy(session):
    session.start_service()
    session.wait_plugged()
    expect(session.window_count(SERVICE_WINDOW) == 1, "one service window expected")
    # With the data folder out of the way, a second copy that touched any
    # file or folder would leave a trace.
    moved = session.work / "data-moved-away"
    session.data.rename(moved)
    try:
        started = time.monotonic()
        second = session.start(session.dist / "KorvexHid.exe")
        second.wait_exit(10)
        took = time.monotonic() - started
        expect(took < 5, f"the second copy took {took:.1f} s to end")
        expect(not session.data.exists(), "the second copy created the data folder")
    finally:
        if not session.data.exists():
            moved.rename(session.data)
    expect(session.window_count(SERVICE_WINDOW) == 1, "still exactly one service window expected")
    expect(session.service.running(), "the first copy must keep running")


DEFAULT_LIGHTING = {0: ("5", "1", "16777215"), 1: ("6", "1", "255"), 2: ("6", "0", "16711680"), 3: ("6", "1", "65280")}


def lighting_value(text, name):
    match = re.search(f"<Lighting>.*?<{name}>([^<]*)</{name}>", text, re.S)
    return match.group(1) if match else None


def is_default_profile(path, position):
    text = read_utf16(path)
    effect, direction, colour = DEFAULT_LIGHTING[position]
    assignments = re.findall(r"<(bySelFunc|byBtnFun|byKeyNumber|coLightRGB)>([^<]*)<", text)
    return (len(re.findall(r"<Button_\d+>", text)) == 111 and all(v == "0" for _, v in assignments)
            and lighting_value(text, "byLightEffect") == effect
            and lighting_value(text, "byLightEffectDirect") == direction
            and lighting_value(text, "byLightColor") == colour)


@check
def first_start(session):
    session.start_service()
    session.wait_plugged()
    profiles = session.data / "Profiles"
    expect((session.data / "Macros").is_dir(), "Macros was not created")
    for position in range(4):
        expect(is_default_profile(session.profile_path(position), position),
               f"Profile {position}.profile does not hold the defaults of position {position}")
    config = session.config()
    setting = config.get("Setting", {})
    expect(setting.get("Profile") == "1" and setting.get("Language") == "101", f"[Setting] is {setting}")
    expect(config.get("MyXlistNumber", {}).get("TotalListNumber") == "4", "TotalListNumber=4 expected")
    expect(config.get("ProfileData") == {f"Mode_{i + 1}": str(i) for i in range(4)}, "Mode_1..4 = 0..3 expected")
    for i in range(4):
        entry = config.get(f"MyXlistIconInfo{i}", {})
        expect(entry.get("ProfileID") == str(i) and entry.get("ProfileName") == f"Profile {i}",
               f"MyXlistIconInfo{i} is {entry}")
    expect(read_utf16(profiles / "Profile 1.ini").find("CurrentProfileName=Profile 1") >= 0,
           "the current profile's link file names it")

    # An edited profile survives a restart while the link file is there...
    session.stop_service()
    session.profile(2).set_lighting(byLightEffect=3).save()
    session.start_service()
    session.wait_plugged()
    expect(not is_default_profile(session.profile_path(2), 2), "an edit was undone although the link file exists")
    # ...and a missing link file of the current profile means a new start.
    session.stop_service()
    (profiles / "Profile 1.ini").unlink()
    session.start_service()
    wait_until(lambda: is_default_profile(session.profile_path(2), 2), 20, "the profiles to be written anew")


# ---- plug-in and unplug ----

DIALOGS = ("Launch_Program", "TamselMacro", "TAMSEL_SingleKey_Dlg", "ManageProfile")


@check
def plug_and_unplug(session):
    with registry_key(session, "Software\\Korvex"):
        _, main_log = session.stand_in("main.log", "Korvex")
        _, dialogs_log = session.stand_in("dialogs-plug.log", *DIALOGS)
        session.start_service()
        session.wait_plugged()
        wait_until(lambda: logged(main_log, f"Korvex 0x{WM_HID_DEVICE_CHANGE:04x} 1 0"), 10,
                   "the main window to hear of the keyboard")
        for dialog in DIALOGS:
            wait_until(lambda: logged(dialogs_log, f"{dialog} 0x0010 0 0"), 10, f"{dialog} to be closed")
        expect(registry_value(session, "Software\\Korvex", "FWVersion") == "10", "registry FWVersion 10 expected")
        expect(registry_value(session, "Software\\Korvex", "DevicePlug") == "0x1", "registry DevicePlug 1 expected")

        _, dialogs_log = session.stand_in("dialogs-unplug.log", *DIALOGS)
        session.vkb("unplug")
        wait_until(lambda: session.config()["Setting"].get("Plug") == "0", 10, "config.ini Plug=0")
        # A single space, which the profile-string routines read back as empty.
        expect(session.config()["Setting"].get("FWVersion").strip() == "", "no firmware version when unplugged")
        wait_until(lambda: logged(main_log, f"Korvex 0x{WM_HID_DEVICE_CHANGE:04x} 0 0"), 10,
                   "the main window to hear the keyboard went")
        for dialog in DIALOGS:
            wait_until(lambda: logged(dialogs_log, f"{dialog} 0x0010 0 0"), 10, f"{dialog} to be closed")
        expect(registry_value(session, "Software\\Korvex", "DevicePlug") == "0x0", "registry DevicePlug 0 expected")
        expect(registry_value(session, "Software\\Korvex", "FWVersion").strip() == "", "registry FWVersion blank expected")


# ---- downloads ----

RED, GREEN, BLUE = 0x0000FF, 0x00FF00, 0xFF0000  # 0x00BBGGRR
FUNCTION_SINGLE_KEY, FUNCTION_DISABLE, FUNCTION_MACRO, FUNCTION_LAUNCH = 0x1D1, 0x1D3, 0x200, 0x180
MACRO_EVENTS = [(0x80, 0x00, 0x04), (0x00, 0x32, 0x04), (0x80, 0x00, 0x05), (0x00, 0x32, 0x05)]


def edit_profile_for_download(session):
    """Edits profile 1 as the settings page would: a remapped, a disabled, a
    macro and a launch key, the per-key colour effect with three colours."""
    write_utf16(session.data / "Macros" / "e2e.macro", macro_document("e2e", 3, MACRO_EVENTS))
    (session.profile(1)
     .set_key(0, bySelFunc=1, byBtnFun=FUNCTION_SINGLE_KEY, byKeyNumber=0x1E, coLightRGB=RED)
     .set_key(15, bySelFunc=1, byBtnFun=FUNCTION_DISABLE, coLightRGB=GREEN)
     .set_key(16, bySelFunc=1, byBtnFun=FUNCTION_MACRO, MacroName="e2e", coLightRGB=BLUE)
     .set_key(17, bySelFunc=1, byBtnFun=FUNCTION_LAUNCH, launch="C:\\windows\\notepad.exe")
     .set_lighting(byLightEffect=19, byLightBright=3, byLightSpeed=1)
     .save())


# Least pause after each kind of report: key map and macro chunks 60 ms, key
# colours and the begin command 20 ms, every other command 200 ms.
def mandated_pause(report):
    data, usage = report["bytes"], report["usage"]
    if (usage == 3 and data[0] == 0x0B) or (usage == 4 and data[0] == 0x0C):
        return 60
    if data[0] == 0x0A and data[1] in (0x0C, 0x03):
        return 20
    return 200


def check_pauses(log):
    for before, after in zip(log, log[1:]):
        gap = after["t"] - before["t"]
        expect(gap >= mandated_pause(before), f"only {gap} ms after report {before['bytes']} (usage {before['usage']})")


def rgb(colour):
    return [colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF]


@check
def apply_profile_download(session):
    session.start_service()
    session.wait_plugged()
    _, loading_log = session.stand_in("loading.log", "DLGLoading")
    factory = session.keyboard()["keymap"]
    edit_profile_for_download(session)
    session.vkb("clear-log")
    apply_profile(session)

    keyboard = session.keyboard()
    keymap = keyboard["keymap"]
    expect(keymap[KEY_MATRIX_POSITION[0]] == 0x1E, "key 0 should send usage 0x1E")
    expect(keymap[KEY_MATRIX_POSITION[15]] == 0x00, "key 15 should be disabled")
    expect(keymap[KEY_MATRIX_POSITION[16]] == 0xCD, "the macro key should report to the host")
    expect(keymap[KEY_MATRIX_POSITION[17]] == 0xFE, "the launch key should report its presses")
    changed = {i for i, (a, b) in enumerate(zip(factory, keymap)) if a != b}
    expect(changed == {KEY_MATRIX_POSITION[k] for k in (0, 15, 16, 17)}, f"unexpected key map changes at {changed}")
    macros = keyboard["macros"]
    expect(list(macros.values()) == [{"repeat": 3, "events": [list(e) for e in MACRO_EVENTS]}],
           f"the keyboard holds the macros {macros}")
    lighting = keyboard["lighting"]
    expect((lighting["effect"], lighting["brightness"], lighting["speed"]) == (19, 3, 1), f"lighting is {lighting}")
    colours = keyboard["keyColors"]["1"]
    expect(colours[KEY_MATRIX_POSITION[0]] == rgb(RED) and colours[KEY_MATRIX_POSITION[15]] == rgb(GREEN)
           and colours[KEY_MATRIX_POSITION[16]] == rgb(BLUE), "the per-key colours differ from the file")
    log = session.report_log()
    lit = {r["bytes"][3]: r["bytes"][4:7] for r in log if r["bytes"][:2] == [0x0A, 0x0C] and any(r["bytes"][4:7])}
    expect(lit == {KEY_MATRIX_POSITION[0]: rgb(RED), KEY_MATRIX_POSITION[15]: rgb(GREEN),
                   KEY_MATRIX_POSITION[16]: rgb(BLUE)}, f"the keys sent a colour are {lit}")
    check_pauses(log)
    wait_until(lambda: logged(loading_log, f"DLGLoading 0x{WM_HID_APPLY_PROFILE:04x} 0 0"), 10,
               "the loading window's notice")

    # Position 0 (the PC mode) keeps the keyboard's own key map and macros.
    config = session.data / "config.ini"
    write_utf16(config, re.sub(r"(?m)^Profile=1\r?$", "Profile=0\r", read_utf16(config), count=1))
    session.vkb("clear-log")
    apply_profile(session)
    log = session.report_log()
    expect(log, "the download to position 0 still sends its lighting")
    expect(not [r for r in log if r["usage"] in (3, 4) or r["bytes"][:2] in ([0x0A, 0x04], [0x0A, 0x05])],
           "position 0 must send no key map and no macro")
    wait_until(lambda: read_utf16(loading_log).count(f"0x{WM_HID_APPLY_PROFILE:04x} 0 0") == 2, 10,
               "the loading window's second notice")


@check
def apply_lighting(session):
    session.start_service()
    session.wait_plugged()
    _, loading_log = session.stand_in("loading.log", "DLGLoading")
    session.profile(1).set_lighting(byLightEffect=16, byLightColor=GREEN, byLightBright=1).save()
    session.vkb("clear-log")
    session.post(SERVICE_WINDOW, WM_HID_APPLY_LIGHTING, 1)
    session.wait_window_visible(PROGRESS_WINDOW, 20)
    session.wait_window_gone(PROGRESS_WINDOW, 30)
    keyboard = session.keyboard()
    expect((keyboard["lighting"]["effect"], keyboard["lighting"]["brightness"]) == (16, 1),
           f"lighting is {keyboard['lighting']}")
    expect(keyboard["effectColor"]["1"] == rgb(GREEN), f"the effect colour is {keyboard['effectColor']['1']}")
    log = session.report_log()
    expect(not [r for r in log if r["usage"] in (3, 4)], "a lighting download sends no key map and no macro")
    check_pauses(log)
    wait_until(lambda: logged(loading_log, f"DLGLoading 0x{WM_HID_APPLY_PROFILE:04x} 0 0"), 10,
               "the loading window's notice")


# ---- keyboard-made changes ----

@check
def keyboard_changes(session):
    _, page_log = session.stand_in("page.log", "Korvex", child="Korvex")
    session.start_service()
    session.wait_plugged()
    session.vkb("profile", 2)
    wait_until(lambda: session.config()["Setting"].get("Profile") == "2", 10, "config.ini Profile=2")
    wait_until(lambda: logged(page_log, f"Korvex/Korvex 0x{WM_HID_PROFILE_INDEX:04x} 0 2"), 10,
               "the page to hear of the profile switch")
    changes = [  # (KorvexVkb command, value, profile element, page message)
        ("effect", 3, "byLightEffect", WM_HID_LIGHT_EFFECT),
        ("direction", 1, "byLightEffectDirect", WM_HID_LIGHT_DIRECTION),
        ("brightness", 1, "byLightBright", WM_HID_LIGHT_BRIGHTNESS),
    ]
    for command, value, element, message in changes:
        session.vkb(command, value)
        wait_until(lambda: lighting_value(read_utf16(session.profile_path(2)), element) == str(value), 10,
                   f"{element}={value} in Profile 2.profile")
        wait_until(lambda: logged(page_log, f"Korvex/Korvex 0x{message:04x} 2 {value}"), 10,
                   f"the page to hear {command} {value}")
    expect(lighting_value(read_utf16(session.profile_path(1)), "byLightEffect") == "6",
           "the profile left behind must not change")


# ---- launch keys ----

@check
def launch_key(session):
    apps = session.work / "apps"
    program = session.copy_helper("KorvexLaunchMarker", apps, "Marker.exe")
    target = session.copy_helper("KorvexLaunchMarker", apps, "Target.exe")
    shortcut = apps / "Target.lnk"
    expect(session.helper("KorvexShortcut", windows_path(shortcut), windows_path(target)).returncode == 0,
           "the shortcut could not be made")
    session.start_service()
    session.wait_plugged()
    (session.profile(1)
     .set_key(0, bySelFunc=1, byBtnFun=FUNCTION_LAUNCH, launch=windows_path(program))
     .set_key(1, bySelFunc=1, byBtnFun=FUNCTION_LAUNCH, launch=windows_path(shortcut))
     .save())
    apply_profile(session)  # the keyboard learns that these keys report their presses

    runs = Path(str(program) + ".runs")

    def starts():
        return len(runs.read_text().splitlines()) if runs.exists() else 0

    # Two presses at once: both control commands are in flight together. A
    # pair is conclusive when both commands were done within the 500 ms
    # debounce; a slow pair (process start-up under load) is tried again.
    conclusive = False
    for _ in range(5):
        before = starts()
        started = time.monotonic()
        presses = [subprocess.Popen(["wine", str(session.dist / "KorvexVkb.exe"), "press",
                                     str(KEY_MATRIX_POSITION[0])], env=session.env, stdout=subprocess.DEVNULL)
                   for _ in range(2)]
        expect(all(p.wait(timeout=30) == 0 for p in presses), "KorvexVkb press failed")
        both_done = time.monotonic()
        wait_until(lambda: starts() > before, 10, "the launch key's program to start")
        # Wait past the debounce and any late start before counting.
        wait_until(lambda: time.monotonic() > both_done + 2, 3, "the debounce and any late start to pass")
        if both_done - started < 0.5:
            expect(starts() == before + 1, f"two presses within 500 ms started the program {starts() - before} times")
            conclusive = True
            break
    expect(conclusive, "no pair of presses arrived within 500 ms; the debounce could not be checked")
    session.vkb("press", KEY_MATRIX_POSITION[0])
    pressed = time.monotonic()
    wait_until(lambda: starts() == before + 2, 10, "a press after the debounce to start again")

    # The debounce is shared by all launch keys: let it run out first.
    wait_until(lambda: time.monotonic() > pressed + 0.7, 2, "the debounce to run out")
    session.vkb("press", KEY_MATRIX_POSITION[1])
    wait_until(Path(str(target) + ".runs").exists, 10, "the shortcut's target to start")
    expect(not Path(str(shortcut) + ".runs").exists(), "the shortcut itself is not a program")


# ---- linked programs ----

def set_link(session, position, slot, program):
    path = session.data / "Profiles" / f"Profile {position}.ini"
    text = read_utf16(path).rstrip("\r\n") + f"\r\nLinkExe{slot}={program}\r\n"
    write_utf16(path, text)


@check
def linked_program(session):
    session.start_service()
    session.wait_plugged()
    session.stop_service()
    set_link(session, 3, 0, "Game.exe")
    set_link(session, 2, 0, "C:\\Games\\GAME.EXE")  # a full path and another case: same program, lower position
    set_link(session, 3, 1, "Ostrel.exe")
    apps = session.work / "apps"
    ostrel = session.copy_helper("KorvexStandIn", apps, "Ostrel.exe")
    game = session.copy_helper("KorvexStandIn", apps, "Game.exe")
    session.start_service()
    session.wait_plugged()

    # Ostrel.exe in front never switches, even when linked: three checks pass.
    ostrel_process, _ = session.stand_in("ostrel.log", "Ostrel window", foreground=True, program=ostrel)
    deadline = time.monotonic() + 6.5
    while time.monotonic() < deadline:
        expect(session.config()["Setting"].get("Profile") == "1", "Ostrel.exe switched the profile")
        time.sleep(0.25)
    ostrel_process.kill()

    session.stand_in("game.log", "Game window", foreground=True, program=game)
    wait_until(lambda: session.config()["Setting"].get("Profile") == "2", 10,
               "the switch to position 2, the lowest linked to Game.exe")


# ---- unplug during a download ----

@check
def unplug_during_download(session):
    session.start_service()
    session.wait_plugged()
    session.profile(1).set_lighting(byLightEffect=19).save()  # 138 key colours: a long download
    session.post(SERVICE_WINDOW, WM_HID_SHOW_PROGRESS)
    session.post(SERVICE_WINDOW, WM_HID_APPLY_PROFILE, 1, 0)
    session.wait_window_visible(PROGRESS_WINDOW, 20)
    session.vkb("unplug")
    session.wait_window_gone(PROGRESS_WINDOW, 30)
    # The service goes on answering: the unplug is recorded and a request is served.
    wait_until(lambda: session.config()["Setting"].get("Plug") == "0", 15, "config.ini Plug=0")
    session.post(SERVICE_WINDOW, WM_HID_SHOW_PROGRESS)
    session.post(SERVICE_WINDOW, WM_HID_RELOAD)
    session.post(SERVICE_WINDOW, WM_HID_APPLY_PROFILE, 1, 0)
    session.wait_window_gone(PROGRESS_WINDOW, 60)
    expect(session.service.running(), "the service ended")


# ---- the progress window as the user sees it ----

def pixel(image, x, y):
    text = subprocess.run(["convert", str(image), "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"],
                          capture_output=True, text=True, check=True).stdout
    match = re.search(r"\((\d+),(\d+),(\d+)", text.splitlines()[-1])
    return tuple(int(v) for v in match.groups())


@check
def progress_window_screenshot(session):
    session.start_service()
    session.wait_plugged()
    session.profile(1).set_lighting(byLightEffect=19).save()  # long enough to look at
    session.post(SERVICE_WINDOW, WM_HID_SHOW_PROGRESS)
    session.post(SERVICE_WINDOW, WM_HID_APPLY_PROFILE, 1, 0)
    session.wait_window_visible(PROGRESS_WINDOW, 20)
    # Wait until the bar has moved past the key map, so the shot shows progress.
    wait_until(lambda: any(r["bytes"][:2] == [0x0A, 0x0C] for r in session.report_log()), 20,
               "the key colours to be sent")
    left, top, right, bottom, visible = session.window_rect(PROGRESS_WINDOW)
    shots = Path(session.screenshots)
    shots.mkdir(parents=True, exist_ok=True)
    shot = shots / "progress_window.png"
    subprocess.run(["import", "-display", session.env["DISPLAY"], "-window", "root", str(shot)], check=True)
    session.wait_window_gone(PROGRESS_WINDOW, 60)

    width, height = map(int, subprocess.run(["identify", "-format", "%w %h", str(shot)], capture_output=True,
                                            text=True, check=True).stdout.split())
    expect((right - left, bottom - top) == (750, 150), f"the window is {right - left} x {bottom - top}")
    expect((left, top) == ((width - 750) // 2, (height - 150) // 2), f"the window is not centred: at {left},{top}")
    outside = pixel(shot, 0, 0)
    expect(pixel(shot, left, top) == outside, "the window's corner should be cut away by its shape")
    expect(pixel(shot, left + 375, top + 75) != outside, "the window's middle should be drawn")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--dist", required=True)
    parser.add_argument("--helpers", required=True)
    parser.add_argument("--screenshots", default="build/screenshots")
    parser.add_argument("--keep", action="store_true", help="keep the session's work folder")
    parser.add_argument("check", choices=sorted(CHECKS))
    args = parser.parse_args()
    try:
        with ServiceSession(args.dist, args.helpers) as session:
            session.screenshots = args.screenshots
            CHECKS[args.check](session)
            if args.keep:
                print(f"work folder: {session.work}")
            else:
                session.remove_work_folder_at_exit = True
    except (AssertionError, Timeout) as failure:
        print(f"FAILED {args.check}: {failure}", file=sys.stderr)
        return 1
    print(f"passed {args.check}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
