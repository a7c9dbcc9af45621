"""Outside-in test harness: Xvfb, Wine prefixes, the program, and checks.

Standard library only. A test script does, roughly:

    import harness
    opts = harness.options()
    def main(t):
        with harness.Display() as d, harness.Prefix(d) as p, \
             harness.App(p, opts.app, inspector=opts.inspector) as app:
            w = app.wait_window("Kestrova For Win9x/NT")
            t.equal(w["screen"], [1024, 768], "screen size")
            app.key("alt+q")
            app.wait_exit()
    harness.run(main)      # prints "N passed, N failed", exits 1 on failure

What was found under Wine 8.0 on Xvfb without a window manager:
- Wine never sets the X input focus itself; the server's focus stays
  PointerRoot, so keys go to whatever X window is under the pointer.
  `xdotool windowactivate` needs a window manager and fails. What works:
  `xdotool windowfocus --sync <X window>` on the window's own X window (the
  inspector reports it as "x11_window", from Wine's __wine_x11_whole_window
  property), then plain `xdotool key` / `xdotool type` (XTEST). Wine hands
  the keys to its own foreground window, so a message box opened later gets
  them too while the X focus stays on the main window. (`key --window`,
  XSendEvent, also delivered a key in a check, but is not the path a real
  keyboard takes.) A click neither moves nor needs the X focus.
  So keys go, as a keyboard's do, to whatever Wine holds in front: App
  gives no focus, and a check that needs its window in front says so and
  checks "foreground". Inside a Wine
  desktop, which covers the screen, the pointer is always over Wine.
- Without a window manager only the client area is drawn: the caption and
  frame part of a window's rectangle stays black in a screenshot. A virtual
  desktop (App(desktop="1024x768")) draws them.
- The exit code of the `wine` process is the program's. With
  `wine explorer /desktop=NAME,...` it is explorer's, and the inspector,
  started plainly, cannot see windows on that other desktop; so the virtual
  desktop mode here goes through the registry (HKCU\\Software\\Wine\\Explorer,
  desktop "Default"), after which every plain `wine` program shares it.
- DPI: Wine 8.0 reads LogPixels (REG_DWORD) from HKCU\\Control Panel\\Desktop,
  and from HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\
  Software\\Fonts when HKCU has none (HKCU 120 with HKLM 144 gave 120).
  GetDeviceCaps(LOGPIXELSY) then reports it even to a program that does not
  declare DPI awareness. set_dpi writes both.
- Timings here: a fresh prefix (`wineboot -i`) 14 to 18 s, a copy of the
  cached one (about 590 MB) 0.7 to 2.3 s, `wine reg add` 0.8 s, map_drive
  1.5 s, a window shown 1.2 s after the start, the `wine` process gone about
  2 s after the window closed.
"""

import argparse
import contextlib
import fcntl
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import pe  # noqa: E402

CAPTION = "Kestrova For Win9x/NT"
VERSIONS = ("win31", "win95", "win98", "winme", "nt40", "win2k", "winxp", "win7", "win10")
DRIVE_TYPES = ("hd", "floppy", "cdrom", "network")
SKIP = 77  # ctest's SKIP_RETURN_CODE for machines without Wine or Xvfb


class HarnessError(Exception):
    """The environment, not the program under test, misbehaved."""


def log(*parts):
    print("[harness]", *parts, file=sys.stderr, flush=True)


def _run(cmd, env=None, timeout=60, check=True, **kw):
    # Output goes to files, not pipes: the first Wine client starts the
    # wineserver and services, which inherit and keep its pipes open, so
    # waiting for a pipe's end would wait for them. Wine's own tools write
    # in the console's code page (Shift-JIS under a Japanese locale), the
    # inspector in UTF-8: what is not UTF-8 is replaced, not fatal.
    files = dict(mode="w+", encoding="utf-8", errors="replace")
    with tempfile.TemporaryFile(**files) as out, tempfile.TemporaryFile(**files) as err:
        try:
            code = subprocess.run(cmd, env=env, timeout=timeout, stdout=out, stderr=err,
                                  stdin=subprocess.DEVNULL, **kw).returncode
        except subprocess.TimeoutExpired:
            raise HarnessError(f"{cmd!r} still running after {timeout} s")
        out.seek(0)
        err.seek(0)
        r = subprocess.CompletedProcess(cmd, code, out.read(), err.read())
    if check and r.returncode != 0:
        raise HarnessError(f"{cmd!r} exited {r.returncode}: {r.stderr.strip()[-2000:]}")
    return r


def _poll(predicate, timeout, interval=0.1):
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= end:
            return value
        time.sleep(interval)


# ---- display ---------------------------------------------------------------

class Display:
    """An Xvfb server on the first free display number from `first` up."""

    def __init__(self, first=91, size="1024x768x24", tries=40):
        self.first, self.size, self.tries = first, size, tries
        self.proc = None
        self.name = None
        self._claim = None

    @staticmethod
    def _claimed(n):
        """A free number, held against the other tests until stop(); None
        if taken. Xvfb's own lock is not enough: two servers started at once
        on one number can both come up, and the later takes the socket."""
        claim = open(f"/tmp/.kestrova-display-{n}", "w")
        try:
            fcntl.flock(claim, fcntl.LOCK_EX | fcntl.LOCK_NB)
            if not (os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(f"/tmp/.X11-unix/X{n}")):
                return claim
        except BlockingIOError:
            pass
        claim.close()
        return None

    def _ready(self, n):
        if not os.path.exists(f"/tmp/.X11-unix/X{n}"):
            return False
        env = dict(os.environ, DISPLAY=f":{n}")
        r = subprocess.run(["xdotool", "getdisplaygeometry"], env=env, capture_output=True)
        return r.returncode == 0

    def start(self):
        for n in range(self.first, self.first + self.tries):
            claim = self._claimed(n)
            if claim is None:
                continue
            proc = subprocess.Popen(
                ["Xvfb", f":{n}", "-screen", "0", self.size, "-nolisten", "tcp"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            # A server not of ours may have taken the number: Xvfb exits.
            ok = _poll(lambda: proc.poll() is not None or self._ready(n), 10)
            if proc.poll() is None and ok:
                self.proc, self.name, self._claim = proc, f":{n}", claim
                return self
            _stop(proc)
            claim.close()
        raise HarnessError("no free X display for Xvfb")

    def stop(self):
        if self.proc:
            _stop(self.proc)
            self.proc = None
        if self._claim:
            self._claim.close()
            self._claim = None

    @property
    def env(self):
        return {"DISPLAY": self.name}

    def bind_keys(self, chars):
        """Gives each of `chars` (none on the keyboard) a free key of its
        own, before any program starts. Otherwise xdotool remaps a spare key
        as it types each one, and a program that has not yet read the new
        map, as under load, loses the character."""
        env = dict(os.environ, **self.env)
        table = [line.split() for line in _run(["xmodmap", "-pke"], env=env).stdout.splitlines()]
        free = [fields[1] for fields in table if fields[2:] == ["="]]
        if len(free) < len(chars):
            raise HarnessError(f"{len(free)} free keys for {len(chars)} characters")
        binds = [f"keycode {code} = U{ord(c):04X}" for code, c in zip(free, chars)]
        _run(["xmodmap", *(arg for b in binds for arg in ("-e", b))], env=env)

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()


def _stop(proc, grace=5):
    """Ends one process we started, by its pid."""
    if proc.poll() is not None:
        return proc.returncode
    proc.send_signal(signal.SIGTERM)
    try:
        return proc.wait(grace)
    except subprocess.TimeoutExpired:
        proc.kill()
        return proc.wait(grace)


# ---- Wine ------------------------------------------------------------------

class Wine:
    """The Wine that runs a program: the 32-bit loader for the i686 build,
    the 64-bit one for the x86_64 build. Every Wine command of the tests and
    tools is made here.

    Debian's `wine` wrapper takes the 32-bit loader whenever wine32 is
    installed, and the 32-bit loader turns a new prefix into a WoW64 one
    whenever wine64 is installed too. So each side names its own loader and
    server and its prefix architecture: win32 keeps the 32-bit side as it is
    on a machine without wine64 (a WoW64 prefix lists no empty CD drive, for
    one), win64 is what a host without 32-bit code can run."""

    LIB = "/usr/lib/wine"

    def __init__(self, bits):
        if bits not in (32, 64):
            raise ValueError(f"no {bits}-bit Wine")
        self.bits = bits
        self.loader = os.path.join(self.LIB, "wine" if bits == 32 else "wine64")
        self.server = os.path.join(self.LIB, f"wineserver{bits}")
        self.arch = f"win{bits}"

    @classmethod
    def for_program(cls, exe):
        """The Wine that runs `exe`, by its PE header's machine field."""
        try:
            header = pe.Header(exe)
        except ValueError as e:
            raise HarnessError(str(e))
        if header.bits is None:
            raise HarnessError(f"{exe}: no Wine here runs a {header.describe()}")
        return cls(header.bits)

    def __str__(self):
        return f"{self.bits}-bit Wine"

    @property
    def env(self):
        return {"WINELOADER": self.loader, "WINESERVER": self.server, "WINEARCH": self.arch}

    def command(self, *args):
        return [self.loader, *map(str, args)]

    def server_command(self, *args):
        return [self.server, *map(str, args)]

    def version(self):
        return _run(self.command("--version")).stdout.strip()

    def available(self):
        return os.access(self.loader, os.X_OK) and os.access(self.server, os.X_OK)


_wine = None  # the Wine of the program under test, chosen by options()


def current_wine():
    if _wine is None:
        raise HarnessError("no program chosen yet: call options() first, or use_program()")
    return _wine


def use_program(exe):
    """Makes the Wine that runs `exe` the one every prefix uses."""
    global _wine
    _wine = Wine.for_program(exe)
    return _wine


# ---- prefix ----------------------------------------------------------------

# What a base prefix holds beyond `wineboot -i`; a cached one made to another
# recipe is made again.
BASE_RECIPE = "Wine's own fonts in Windows\\Fonts; Tahoma and Tahoma Bold linked to IPAGothic"
WINE_FONTS = "/usr/share/wine/fonts"
# Japanese text (the error dialog's caption, the out-of-resources message)
# drawn in a font that has it, where Tahoma has not; Latin keeps Tahoma.
# Wine looks links up by the face's full name, and captions are bold.
FONT_LINKS = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink"
LINKED_FACES = ("Tahoma", "Tahoma Bold")
JAPANESE_FONT = "ipag.ttf,IPAGothic"


def _cache_dir(wine):
    # One per loader architecture: a prefix the 32-bit loader made cannot
    # run the x86_64 program, and the other way round.
    root = os.environ.get("KESTROVA_E2E_CACHE", "/tmp/kestrova-e2e-cache")
    return os.path.join(root, f"base-prefix-{wine.arch}")


def _require_locale(name):
    """Wine quietly falls back to code page 1252 under a locale the C
    library lacks, which would turn a double-byte test into a plain one."""
    wanted = name.lower().replace("-", "")
    have = _run(["locale", "-a"]).stdout.lower().replace("-", "").split()
    if wanted not in have:
        raise HarnessError(f"the locale {name} is not installed (localedef)")


def _install_wine_fonts(prefix_path):
    """Debian's Wine does not find the fonts it bundles, so Tahoma falls
    back to a wider font and the frame buttons (Marlett) show letters; in
    the prefix's own Fonts folder it finds them."""
    fonts = os.path.join(prefix_path, "drive_c", "windows", "Fonts")
    os.makedirs(fonts, exist_ok=True)
    found = [name for name in sorted(os.listdir(WINE_FONTS)) if name.endswith(".ttf")]
    if not {"tahoma.ttf", "marlett.ttf"} <= set(found):
        raise HarnessError(f"Wine's Tahoma and Marlett are not in {WINE_FONTS} (fonts-wine)")
    for name in found:
        shutil.copyfile(os.path.join(WINE_FONTS, name), os.path.join(fonts, name))


class Prefix:
    """A private copy of the cached base prefix, removed on exit."""

    boot_seconds = None  # time the base prefix took to build, if this run built it

    def __init__(self, display, keep=False, locale=None, wine=None):
        self.display = display
        self.wine_side = wine or current_wine()
        self.keep = keep
        self.locale = locale  # e.g. "ja_JP.UTF-8": Wine takes its code page from it
        if locale:
            _require_locale(locale)
        self.drives = {}  # letter: the image Wine uses, or None for an empty drive
        self.tmp = tempfile.mkdtemp(prefix="kestrova-e2e-")
        self.path = os.path.join(self.tmp, "prefix")
        base = self._base()
        t = time.monotonic()
        _run(["cp", "-a", base, self.path], timeout=300)
        self._keep_server_dir()
        os.remove(os.path.join(self.path, ".kestrova-base"))
        log(f"prefix copied to {self.path} in {time.monotonic() - t:.1f} s")

    def _keep_server_dir(self):
        # Debian's Wine names its socket directory (/tmp/wine-XXXXXX) in this
        # file. Without it, two programs started at once each make one and
        # one fails ("chdir to ..."); so the copy keeps the base's name (the
        # socket inside differs per prefix) and the directory is remade if
        # something cleaned /tmp.
        with contextlib.suppress(FileNotFoundError):
            with open(os.path.join(self.path, "wineserver")) as f:
                name = f.read().strip()
            if name.startswith("wine-") and "/" not in name:
                with contextlib.suppress(FileExistsError):
                    os.mkdir(os.path.join("/tmp", name), 0o700)

    @property
    def env(self):
        env = dict(os.environ, WINEPREFIX=self.path, WINEDEBUG="-all")
        env.update(self.wine_side.env)
        env.update(self.display.env)
        if self.locale:
            env.update(LANG=self.locale, LC_ALL=self.locale)
        return env

    def _base(self):
        side = self.wine_side
        base = _cache_dir(side)
        os.makedirs(os.path.dirname(base), exist_ok=True)
        marker = os.path.join(base, ".kestrova-base")
        version = f"{side.version()}; {side.arch}; {BASE_RECIPE}"
        # Tests run in parallel: one builds the base, the others wait for it.
        with open(base + ".lock", "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            with contextlib.suppress(FileNotFoundError):
                with open(marker) as f:
                    if f.read().strip() == version:
                        return base
            shutil.rmtree(base, ignore_errors=True)
            building = base + ".building"
            shutil.rmtree(building, ignore_errors=True)
            env = dict(os.environ, WINEPREFIX=building, WINEDEBUG="-all",
                       WINEDLLOVERRIDES="mscoree,mshtml=")  # no Mono/Gecko prompts
            env.update(side.env)
            env.update(self.display.env)
            t = time.monotonic()
            _run(side.command("wineboot", "-i"), env=env, timeout=300)
            for face in LINKED_FACES:
                _run(side.command("reg", "add", FONT_LINKS, "/v", face, "/t", "REG_MULTI_SZ",
                                  "/d", JAPANESE_FONT, "/f"), env=env)
            _run(side.server_command("-w"), env=env, timeout=120)
            _install_wine_fonts(building)
            Prefix.boot_seconds = time.monotonic() - t
            log(f"base prefix built in {Prefix.boot_seconds:.1f} s")
            with open(os.path.join(building, ".kestrova-base"), "w") as f:
                f.write(version + "\n")
            os.rename(building, base)
            return base

    def command(self, *args):
        """The command line that runs a program of this prefix's Wine."""
        return self.wine_side.command(*args)

    def wine(self, *args, timeout=60, check=True):
        return _run(self.command(*args), env=self.env, timeout=timeout, check=check)

    def reg_add(self, key, name, data, kind="REG_SZ"):
        self.wine("reg", "add", key, "/v", name, "/t", kind, "/d", str(data), "/f")

    def reg_query(self, key, name):
        r = self.wine("reg", "query", key, "/v", name, check=False)
        for line in r.stdout.splitlines():
            parts = line.split(None, 2)
            if len(parts) == 3 and parts[0].lower() == name.lower():
                return parts[2].strip()
        return None

    def set_version(self, name):
        if name not in VERSIONS:
            raise ValueError(f"unknown Windows version {name!r}")
        self.reg_add(r"HKCU\Software\Wine", "Version", name)

    def set_dpi(self, dpi):
        self.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", int(dpi), "REG_DWORD")
        self.reg_add(r"HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts",
                     "LogPixels", int(dpi), "REG_DWORD")

    def set_virtual_desktop(self, size="1024x768"):
        """Every later program runs inside one Wine desktop of that size
        (frames drawn, fixed screen); None switches back to plain windows."""
        key = r"HKCU\Software\Wine\Explorer"
        if size is None:
            self.wine("reg", "delete", key, "/v", "Desktop", "/f", check=False)
        else:
            self.reg_add(key, "Desktop", "Default")
            self.reg_add(key + r"\Desktops", "Default", size)
        self.kill()  # the desktop is made when the first program starts

    def map_drive(self, letter, image=None, type="hd"):
        """Makes `letter`: a drive backed by a disk image (None: an empty
        drive). Returns the image path Wine reads and writes, which is
        `image` itself when it can be hard-linked into the prefix."""
        return self.map_drives({letter: (image, type)})[letter.lower().rstrip(":")]

    def map_drives(self, drives):
        """Several drives at once, {letter: (image or None, type)}: one
        server stop and one registry write for all. Returns {letter: the
        image path Wine reads and writes}."""
        wanted = {}
        for letter, (image, type) in drives.items():
            letter = letter.lower().rstrip(":")
            if len(letter) != 1 or not letter.isalpha() or letter in "cz":
                raise ValueError(f"bad drive letter {letter!r}")
            if type not in DRIVE_TYPES:
                raise ValueError(f"unknown drive type {type!r}")
            wanted[letter] = (image, type)
        self.kill()
        used = {letter: self._link_drive(letter, image) for letter, (image, _) in wanted.items()}
        lines = ["REGEDIT4", "", r"[HKEY_LOCAL_MACHINE\Software\Wine\Drives]"]
        lines += [f'"{letter}:"="{type}"' for letter, (_, type) in wanted.items()]
        reg = os.path.join(self.tmp, "drives.reg")
        with open(reg, "w") as f:
            f.write("\r\n".join(lines) + "\r\n")
        self.wine("reg", "import", reg)
        self.kill()  # saves the registry; the next start scans the drives
        self.drives.update(used)
        return used

    def _link_drive(self, letter, image):
        root = os.path.join(self.path, "drives", letter)
        shutil.rmtree(root, ignore_errors=True)
        os.makedirs(root)
        dev = os.path.join(self.path, "dosdevices")
        link, device = os.path.join(dev, letter + ":"), os.path.join(dev, letter + "::")
        for p in (link, device):
            if os.path.islink(p) or os.path.isfile(p):
                os.remove(p)
            elif os.path.isdir(p):
                shutil.rmtree(p)
        if image is None:
            # No medium: the drive root is missing and the device empty.
            os.symlink(os.path.join(root, "absent"), link)
            os.makedirs(device)
            return None
        # Wine finds a device's volume by walking up from the image's real
        # path to a drive root, so the image must sit inside the root; a
        # hard link does, and writes still reach the caller's file.
        used = os.path.join(root, ".volume.img")
        try:
            os.link(image, used)
        except OSError:
            shutil.copyfile(image, used)
        os.symlink(root, link)
        os.symlink(used, device)
        self._ntfs_identity(used, root)
        return image if os.path.samefile(used, image) else used

    @staticmethod
    def _ntfs_identity(image, root):
        # Wine reads FAT and CD superblocks itself but takes an NTFS volume's
        # label and serial from two files in the drive root.
        with open(image, "rb") as f:
            boot = f.read(80)
        if boot[3:11] != b"NTFS    ":
            return
        serial = int.from_bytes(boot[72:76], "little")
        with open(os.path.join(root, ".windows-serial"), "w") as f:
            f.write(f"{serial:08x}\n")
        r = _run(["blkid", "-o", "value", "-s", "LABEL", image], check=False)
        with open(os.path.join(root, ".windows-label"), "w") as f:
            f.write(r.stdout.strip() + "\n")

    def refresh_drives(self):
        """After an image's boot sector changed: Wine reads a volume's serial
        only when its server starts, and an NTFS one from the file that
        _ntfs_identity writes, so that is written again."""
        self.kill()
        for letter, image in self.drives.items():
            if image is not None:
                self._ntfs_identity(image, os.path.join(self.path, "drives", letter))

    def kill(self):
        _run(self.wine_side.server_command("-k"), env=self.env, check=False, timeout=60)
        _run(self.wine_side.server_command("-w"), env=self.env, check=False, timeout=60)

    def remove(self):
        self.kill()
        if not self.keep:
            shutil.rmtree(self.tmp, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.remove()


# ---- the program -----------------------------------------------------------

class App:
    """One program started under Wine, seen through the inspector."""

    def __init__(self, prefix, exe, *args, cwd=None, desktop=None, inspector=None, env=None):
        self.prefix = prefix
        self.exe, self.args, self.cwd = exe, list(args), cwd
        self.env = env or {}  # the program's own variables, beside the prefix's
        self.desktop = desktop  # e.g. "1024x768": run inside a Wine desktop
        self.inspector = inspector or os.environ.get("KESTROVA_INSPECTOR")
        if not self.inspector:
            raise HarnessError("no inspector: pass inspector= or set KESTROVA_INSPECTOR")
        self.proc = None
        self.window = None
        self.caption = CAPTION
        self.stdout = self.stderr = None

    def start(self):
        if self.desktop:
            self.prefix.set_virtual_desktop(self.desktop)
        self._out = tempfile.TemporaryFile(mode="w+")
        self._err = tempfile.TemporaryFile(mode="w+")
        self.proc = subprocess.Popen(self.prefix.command(self.exe, *self.args), cwd=self.cwd,
                                     env=dict(self.prefix.env, **self.env), stdout=self._out, stderr=self._err,
                                     stdin=subprocess.DEVNULL)
        return self

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    # inspector

    # The inspector's commands that only look; one of them is asked again
    # when it printed nothing at all, as 64-bit Wine under load now and then
    # ended a run that way. A command that acts is never repeated.
    LOOKS = ("window", "wait", "dialogs", "message", "accessible", "measure")

    def inspector_run(self, *args, timeout=30):
        def ask():
            return _run(self.prefix.command(self.inspector, *args), env=self.prefix.env,
                        timeout=timeout, check=False)
        r = ask()
        if args[0] in self.LOOKS and not r.stdout.strip() and not r.stderr.strip():
            log(f"inspector {args!r} exited {r.returncode} printing nothing; asked again")
            r = ask()
        if r.returncode not in (0, 1):
            raise HarnessError(f"inspector {args!r} exited {r.returncode}: {r.stderr.strip()}")
        try:
            return json.loads(r.stdout)
        except ValueError:
            raise HarnessError(f"inspector {args!r} exited {r.returncode} with no JSON: "
                               f"{r.stdout!r}; stderr: {r.stderr.strip()[-2000:]!r}")

    def wait_window(self, caption=CAPTION, timeout=30):
        self.caption = caption
        end = time.monotonic() + timeout
        while True:
            left = max(0.0, end - time.monotonic())
            w = self.inspector_run("wait", caption, int(min(left, 2) * 1000), timeout=left + 30)
            if w.get("found"):
                self.window = w
                return w
            if self.proc is None:
                raise HarnessError("wait_window before start()")
            if not self.running():
                raise HarnessError(f"program exited ({self.proc.returncode}) before "
                                   f"showing {caption!r}; stderr: {self.output()[1][-2000:]}")
            if time.monotonic() >= end:
                raise HarnessError(f"no window {caption!r} after {timeout} s")

    def inspect(self, caption=None):
        w = self.inspector_run("window", caption or self.caption)
        if w.get("found"):
            self.window = w
        return w

    @property
    def pid(self):
        """The program's Windows process id (not the Unix one)."""
        if not self.window:
            raise HarnessError("no window inspected yet")
        return self.window["pid"]

    def dialogs(self):
        return self.inspector_run("dialogs", self.pid)

    def wait_dialog(self, timeout=10):
        """The first open dialog (message box, task dialog), or None."""
        d = _poll(lambda: self.dialogs()["dialogs"], timeout, 0.2)
        return d[0] if d else None

    def post(self, message, wparam=0, lparam=0):
        """Puts a message in the main window's queue (the inspector's
        PostMessageW); true when it was posted."""
        w = self.window or self.inspect()
        return self.inspector_run("post", w["hwnd"], message, wparam, lparam).get("posted", False)

    def send(self, message, wparam=0, lparam=0):
        """Sends a message to the main window, as the system sends those that
        may not be posted; true when it was handled."""
        w = self.window or self.inspect()
        return self.inspector_run("send", w["hwnd"], message, wparam, lparam).get("sent", False)

    def system_text(self, code):
        """The system's own message text for an error code, as the target
        prefix's Windows words it."""
        return self.inspector_run("message", code)["text"]

    def control(self, name, window=None):
        w = window or self.inspect()
        for c in w.get("controls", []):
            if c["name"] == name:
                return c
        raise HarnessError(f"no control named {name!r}")

    # input

    def key(self, *keys, delay=50):
        _run(["xdotool", "key", "--delay", str(delay), *keys], env=self.prefix.env)

    def type(self, text, delay=50):
        _run(["xdotool", "type", "--delay", str(delay), "--", text], env=self.prefix.env)

    def click(self, x, y, button=1):
        _run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", str(button)],
             env=self.prefix.env)

    def click_control(self, name, button=1):
        left, top, width, height = self.control(name)["screen"]
        self.click(left + width // 2, top + height // 2, button)

    # pictures

    def screenshot(self, path):
        _run(["import", "-window", "root", path], env=self.prefix.env)
        return path

    # ending

    def wait_exit(self, timeout=20):
        """The program's exit code; raises if it is still running."""
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError(f"program still running after {timeout} s")

    def output(self):
        out = []
        for f in (self._out, self._err):
            f.seek(0)
            out.append(f.read())
        return out

    def close(self):
        if self.proc is not None:
            if self.proc.poll() is None:
                self.proc.kill()
                self.proc.wait(10)
            self._out.close()
            self._err.close()
            self.proc = None
        self.prefix.kill()

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.close()


# ---- checks ----------------------------------------------------------------

class Checks:
    """Counts checks; a failing one prints what was expected and found."""

    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, ok, what, detail=""):
        if ok:
            self.passed += 1
        else:
            self.failed += 1
            print(f"FAIL: {what}" + (f": {detail}" if detail else ""), flush=True)
        return bool(ok)

    def equal(self, actual, expected, what):
        return self.check(actual == expected, what, f"expected {expected!r}, got {actual!r}")

    def near(self, actual, expected, tolerance, what):
        ok = all(abs(a - e) <= tolerance for a, e in zip(actual, expected)) \
            if isinstance(expected, (list, tuple)) else abs(actual - expected) <= tolerance
        return self.check(ok, what, f"expected {expected!r} ±{tolerance}, got {actual!r}")

    def report(self):
        print(f"{self.passed} passed, {self.failed} failed", flush=True)
        return 1 if self.failed else 0


def skip(reason):
    print(f"SKIP: {reason}", flush=True)
    sys.exit(SKIP)


def require_tools():
    for tool in ("Xvfb", "xdotool", "xmodmap"):
        if shutil.which(tool) is None:
            skip(f"{tool} is not installed")
    if _wine is not None and not _wine.available():
        skip(f"{_wine} is not installed ({_wine.loader})")


def run(main):
    """Runs main(checks); an exception counts as one failure. Exits with
    the report's status."""
    require_tools()
    t = Checks()
    try:
        main(t)
    except Exception:
        t.failed += 1
        print("FAIL: exception", flush=True)
        traceback.print_exc(file=sys.stdout)
    sys.exit(t.report())


def artifact(name):
    """Where a test keeps a picture or log worth looking at afterwards."""
    stem = os.path.splitext(os.path.basename(sys.argv[0]))[0]
    folder = options().artifacts
    os.makedirs(folder, exist_ok=True)
    return os.path.join(folder, f"{stem}-{name}")


def options(argv=None):
    """--build (the Windows build tree: its kestrova.exe, inspector and the
    program's test build), or --app, --inspector and --faults one by one;
    environment variables KESTROVA_APP, KESTROVA_INSPECTOR and
    KESTROVA_FAULTS stand in."""
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.environ.get("KESTROVA_WINDOWS_BUILD"))
    ap.add_argument("--app", default=os.environ.get("KESTROVA_APP"))
    ap.add_argument("--inspector", default=os.environ.get("KESTROVA_INSPECTOR"))
    ap.add_argument("--faults", default=os.environ.get("KESTROVA_FAULTS"))
    ap.add_argument("--artifacts", default=os.environ.get("KESTROVA_E2E_ARTIFACTS",
                                                          tempfile.gettempdir()))
    opts, _ = ap.parse_known_args(argv)
    if opts.build:
        in_build = {"app": "kestrova.exe",
                    "inspector": os.path.join("tools", "inspector", "kestrova-inspector.exe"),
                    "faults": "kestrova-faults.exe"}
        for name, rel in in_build.items():
            path = os.path.join(opts.build, rel)
            if not getattr(opts, name) and os.path.exists(path):
                setattr(opts, name, path)
    for name in ("app", "inspector", "faults"):
        value = getattr(opts, name)
        if value:
            setattr(opts, name, os.path.abspath(value))
    if opts.app:
        use_program(opts.app)
    return opts
