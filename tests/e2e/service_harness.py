"""What the device service's end-to-end checks and run.sh act through.

Everything runs in the Wine prefix and on the display given in WINEPREFIX and
DISPLAY. Programs are started as Wine processes whose Linux process ids we
keep, and are ended by those ids only. Waiting is always on a condition with
a deadline, never a fixed pause.
"""

import contextlib
import json
import os
import re
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

# Window messages of the suite.
WM_CLOSE = 0x0010
WM_HID_APPLY_PROFILE = 0x0650
WM_HID_RELOAD = 0x0651
WM_HID_PROFILE_INDEX = 0x0658
WM_HID_LIGHT_EFFECT = 0x065A
WM_HID_LIGHT_DIRECTION = 0x065C
WM_HID_LIGHT_BRIGHTNESS = 0x065D
WM_HID_APPLY_LIGHTING = 0x0668
WM_HID_SHOW_PROGRESS = 0x0670
WM_HID_DEVICE_CHANGE = 0x5401

SERVICE_WINDOW = "Korvex_Hid"
PROGRESS_WINDOW = "DrovaneProgressbar"
SERVICE_MUTEX_NAME = "Korvex_Hid_MUTEX"

# Matrix positions (row * 23 + column) of a few keys, by key index.
KEY_MATRIX_POSITION = {0: 1, 1: 3, 15: 18, 16: 24, 17: 25, 18: 26}


class Timeout(AssertionError):
    pass


def wait_until(condition, timeout, what, interval=0.05):
    """Polls `condition` until it returns something true; returns that value.
    Fails with `what` once `timeout` seconds have passed."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise Timeout(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def windows_path(path):
    """The Wine (drive Z:) name of a Linux path."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def read_utf16(path):
    with open(path, "rb") as f:
        data = f.read()
    if data.startswith(b"\xff\xfe"):
        return data[2:].decode("utf-16-le")
    return data.decode("utf-16-le") if b"\x00" in data[:4] else data.decode("utf-8")


def write_utf16(path, text):
    """Writes `text` as UTF-16LE with the mark FF FE, as the suite's files are."""
    tmp = Path(str(path) + ".e2e-tmp")
    tmp.write_bytes(b"\xff\xfe" + text.encode("utf-16-le"))
    os.replace(tmp, path)


def read_ini(path):
    """{section: {key: value}} of a UTF-16 INI file; {} when it is missing."""
    sections = {}
    try:
        text = read_utf16(path)
    except FileNotFoundError:
        return sections
    current = None
    for line in text.splitlines():
        # Values are kept exactly as written (a version of " " is a space).
        if line.strip().startswith("[") and line.strip().endswith("]"):
            current = sections.setdefault(line.strip()[1:-1], {})
        elif "=" in line and current is not None:
            key, value = line.split("=", 1)
            current[key.strip()] = value
    return sections


def set_xml_element(text, path, value):
    """`text` with the element at `path` (names from the root down, e.g.
    ["Button_3", "byBtnFun"]) holding `value`. The element must exist."""
    start = 0
    for name in path[:-1]:
        match = re.compile(f"<{name}>").search(text, start)
        assert match, f"no <{name}> in the document"
        start = match.end()
    name = path[-1]
    element = re.compile(f"<{name}>[^<]*</{name}>|<{name}/>").search(text, start)
    assert element, f"no <{name}> below {path[:-1]}"
    return text[: element.start()] + f"<{name}>{value}</{name}>" + text[element.end():]


class ProfileFile:
    """A profile file edited as the settings page would rewrite it."""

    def __init__(self, path):
        self.path = Path(path)
        self.text = read_utf16(self.path)

    def set_key(self, index, **fields):
        for field, value in fields.items():
            self.text = set_xml_element(self.text, ["ButtonSet", f"Button_{index}", field], value)
        return self

    def set_lighting(self, **fields):
        for field, value in fields.items():
            self.text = set_xml_element(self.text, ["Lighting", field], value)
        return self

    def save(self):
        write_utf16(self.path, self.text)


def macro_document(name, repeat, events):
    """A macro file's text: `events` are (attributeH, attributeL, map)."""
    lines = ['<?xml version="1.0" encoding="utf-16"?>', "<root>", "<Setting>",
             f"<MacroName>{name}</MacroName>", f"<Repeat>{repeat}</Repeat>"]
    for i in range(80):
        h, l, m = events[i] if i < len(events) else (0, 0, 0)
        lines += [f"<Event_{i}>", f"<attributeH>{h}</attributeH>", f"<attributeL>{l}</attributeL>",
                  f"<map>{m}</map>", f"</Event_{i}>"]
    lines += ["</Setting>", "</root>"]
    return "\r\n".join(lines) + "\r\n"


class WineProcess:
    """A Windows program started under Wine, ended by its process id."""

    def __init__(self, args, env, log_path=None):
        self.args = [str(a) for a in args]
        out = open(log_path, "ab") if log_path else subprocess.DEVNULL
        self.popen = subprocess.Popen(["wine", *self.args], env=env, stdout=out, stderr=subprocess.STDOUT,
                                      stdin=subprocess.DEVNULL)
        if log_path:
            out.close()

    @property
    def pid(self):
        return self.popen.pid

    def running(self):
        return self.popen.poll() is None

    def wait_exit(self, timeout):
        try:
            return self.popen.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Timeout(f"{Path(self.args[0]).name} still running after {timeout} s")

    def kill(self):
        if self.running():
            self.popen.kill()
            self.popen.wait(timeout=10)

    def cpu_seconds(self):
        """User plus system CPU time of the process so far."""
        fields = Path(f"/proc/{self.pid}/stat").read_text().rsplit(")", 1)[1].split()
        ticks = os.sysconf("SC_CLK_TCK")
        return (int(fields[11]) + int(fields[12])) / ticks

    def resident_kib(self):
        for line in Path(f"/proc/{self.pid}/status").read_text().splitlines():
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
        return None


class ServiceSession:
    """One run of KorvexHid.exe with the virtual keyboard, in a data folder of
    its own: the prefix's %APPDATA%\\Korvex is moved aside for the session
    and put back afterwards, and the virtual keyboard keeps its state and its
    control channel apart from any other session."""

    def __init__(self, dist, helpers, work=None):
        self.dist = Path(dist)
        self.helpers = Path(helpers)
        self.prefix = Path(os.environ["WINEPREFIX"])
        if not os.environ.get("DISPLAY"):
            raise RuntimeError("no DISPLAY: run under tools/wine-env.sh (korvex_wine_up)")
        self.work = Path(work) if work else Path(tempfile.mkdtemp(prefix="korvex-e2e-"))
        self.work.mkdir(parents=True, exist_ok=True)
        self.env = dict(os.environ)
        self.env.setdefault("WINEDEBUG", "-all")
        self.env.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d")
        self.env["KORVEX_KEYBOARD"] = "virtual"
        self.env["KORVEX_VKB_STATE_DIR"] = windows_path(self.work / "vkb")
        self.env["KORVEX_VKB_PIPE"] = f"Korvex_VirtualKeyboard_e2e_{os.getpid()}"
        (self.work / "vkb").mkdir(exist_ok=True)
        self.roaming = self._roaming_app_data()
        self.data = self.roaming / "Korvex"
        self._saved = None
        self._processes = []
        self.remove_work_folder_at_exit = False

    def _roaming_app_data(self):
        users = self.prefix / "drive_c" / "users"
        for name in (os.environ.get("USER"), os.environ.get("LOGNAME"), "root"):
            if name and (users / name).is_dir():
                return users / name / "AppData" / "Roaming"
        candidates = [u for u in users.iterdir() if u.name != "Public"]
        return candidates[0] / "AppData" / "Roaming"

    # ---- session ----

    def __enter__(self):
        self.roaming.mkdir(parents=True, exist_ok=True)
        if self.data.exists():
            self._saved = self.roaming / f"Korvex.e2e-saved-{os.getpid()}"
            self.data.rename(self._saved)
        return self

    def __exit__(self, *exc):
        for process in reversed(self._processes):
            if process.running() and process is getattr(self, "service", None):
                self.stop_service()
            process.kill()
        shutil.rmtree(self.data, ignore_errors=True)
        if self._saved:
            self._saved.rename(self.data)
        if self.remove_work_folder_at_exit:
            shutil.rmtree(self.work, ignore_errors=True)
        return False

    def start(self, program, *args, log=None):
        process = WineProcess([program, *args], self.env, log)
        self._processes.append(process)
        return process

    # ---- the service ----

    def start_service(self, wait_ready=True):
        self.service = self.start(self.dist / "KorvexHid.exe", log=self.work / "service-output.txt")
        if wait_ready:
            self.wait_window(SERVICE_WINDOW, 20)
        return self.service

    def stop_service(self):
        """Asks the service to close its window and waits for the process to end."""
        service = self.service
        if service.running():
            self.post(SERVICE_WINDOW, WM_CLOSE, check=False)
            service.wait_exit(15)

    def wait_plugged(self, timeout=40):
        """Waits until the service has taken the keyboard in: every interface's
        plug-in handled (five firmware queries logged) and config.ini saying so."""
        wait_until(lambda: self.config().get("Setting", {}).get("Plug") == "1"
                   and len(self.queries()) >= 5
                   and self.config()["Setting"].get("FWVersion") == "10",
                   timeout, "the keyboard to be plugged in and recorded")

    # ---- helpers ----

    def helper(self, name, *args, timeout=30):
        return subprocess.run(["wine", str(self.helpers / f"{name}.exe"), *map(str, args)], env=self.env,
                              capture_output=True, text=True, timeout=timeout)

    def post(self, window, message, wparam=0, lparam=0, check=True):
        result = self.helper("KorvexPost", "post", window, message, wparam, lparam)
        if check and result.returncode != 0:
            raise AssertionError(f"posting 0x{message:x} to {window} failed: {result.stderr.strip()}")
        return result.returncode == 0

    def wait_window(self, name, timeout):
        result = self.helper("KorvexPost", "wait", name, int(timeout * 1000), timeout=timeout + 30)
        if result.returncode != 0:
            raise Timeout(f"no window \"{name}\" within {timeout} s")

    def wait_window_gone(self, name, timeout):
        result = self.helper("KorvexPost", "wait-gone", name, int(timeout * 1000), timeout=timeout + 30)
        if result.returncode != 0:
            raise Timeout(f"window \"{name}\" still there after {timeout} s")

    def wait_window_visible(self, name, timeout):
        result = self.helper("KorvexPost", "wait-visible", name, int(timeout * 1000), timeout=timeout + 30)
        if result.returncode != 0:
            raise Timeout(f"window \"{name}\" not shown within {timeout} s")

    def window_count(self, name):
        return int(self.helper("KorvexPost", "count", name).stdout.strip())

    def window_rect(self, name):
        result = self.helper("KorvexPost", "rect", name)
        if result.returncode != 0:
            return None
        left, top, right, bottom, visible = map(int, result.stdout.split())
        return (left, top, right, bottom, bool(visible))

    def stand_in(self, log_name, *names, child=None, foreground=False, program=None):
        """Starts stand-in windows with these names, logging to `log_name`;
        returns (process, log path) once they exist."""
        log = self.work / log_name
        args = [windows_path(log)]
        if foreground:
            args.append("--foreground")
        if child:
            args += ["--child", child]
        args += names
        process = self.start(program or self.helpers / "KorvexStandIn.exe", *args)
        wait_until(lambda: log.exists() and "ready" in log.read_text().splitlines(), 20,
                   f"stand-in windows {names}")
        return process, log

    # ---- the virtual keyboard ----

    def vkb(self, *args):
        # KorvexVkb reports every error of its own on stderr. A run that ends
        # with no word at all is a process Wine failed to start or lost (seen on
        # a loaded machine): that is tried again, a reported error is not.
        for attempt in range(3):
            result = subprocess.run(["wine", str(self.dist / "KorvexVkb.exe"), *map(str, args)],
                                    env=self.env, capture_output=True, text=True, timeout=30)
            if result.returncode == 0 or result.stderr.strip():
                break
        if result.returncode != 0:
            raise AssertionError(f"KorvexVkb {' '.join(map(str, args))}: exit {result.returncode} "
                                 f"{result.stderr.strip()}")
        return json.loads(result.stdout) if result.stdout.strip() else None

    def keyboard(self):
        return self.vkb("state")

    def report_log(self):
        return self.vkb("log")

    def queries(self):
        return [r for r in self.report_log() if r["bytes"][:2] == [0x07, 0x80]]

    # ---- data files ----

    def config(self):
        return read_ini(self.data / "config.ini")

    def profile_path(self, position):
        return self.data / "Profiles" / f"Profile {position}.profile"

    def profile(self, position):
        return ProfileFile(self.profile_path(position))

    def copy_helper(self, name, folder, as_name):
        """A copy of helper `name` under another file name, in `folder`."""
        folder.mkdir(parents=True, exist_ok=True)
        target = folder / as_name
        shutil.copyfile(self.helpers / f"{name}.exe", target)
        return target


@contextlib.contextmanager
def registry_key(session, key):
    """Makes sure HKCU `key` exists during the block; a key made here is
    deleted afterwards, one that was there is left as it was."""
    existed = subprocess.run(["wine", "reg", "query", f"HKCU\\{key}"], env=session.env,
                             capture_output=True).returncode == 0
    if not existed:
        subprocess.run(["wine", "reg", "add", f"HKCU\\{key}", "/f"], env=session.env, capture_output=True, check=True)
    try:
        yield
    finally:
        if not existed:
            subprocess.run(["wine", "reg", "delete", f"HKCU\\{key}", "/f"], env=session.env, capture_output=True)


def registry_value(session, key, name):
    """The data of a value under HKCU `key` as `reg query` prints it, or None."""
    result = subprocess.run(["wine", "reg", "query", f"HKCU\\{key}", "/v", name], env=session.env,
                            capture_output=True, text=True)
    for line in result.stdout.splitlines():
        parts = line.split(None, 2)
        if len(parts) >= 2 and parts[0] == name:
            return parts[2].strip() if len(parts) == 3 else ""
    return None
