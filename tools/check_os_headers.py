#!/usr/bin/env python3
"""Fails when a file under src/ outside src/platform/ includes an operating system's header.

Every system call lives in src/platform/ (one file per OS), so the other folders read the same on
every platform. The two HTTP back ends of src/net/ (libcurl and WinInet) are the one exception.

    python3 tools/check_os_headers.py [SRC_DIR]      # default: the project's src/
"""
import os
import re
import sys

# Headers of POSIX, Linux and Windows that no portable folder may need; the C and C++ standard
# headers and the compilers' intrinsics are fine anywhere.
OS_HEADER = re.compile(
    r"^(windows|winbase|winreg|winuser|winnt|wininet|winhttp|winsock2?|ws2tcpip|shellapi|shlobj|"
    r"shlwapi|objbase|oleauto|ole2|combaseapi|knownfolders|tlhelp32|psapi|processthreadsapi|io|"
    r"direct|process|conio|unistd|fcntl|dlfcn|elf|link|pwd|grp|langinfo|spawn|pthread|sched|"
    r"signal|termios|dirent|poll|syslog|utime|wordexp|glob|fnmatch|netdb|ifaddrs|"
    r"sys/.*|netinet/.*|arpa/.*|linux/.*|asm/.*|curl/.*)\.h$",
    re.IGNORECASE)
INCLUDE = re.compile(r'^\s*#\s*include\s*<([^>]+)>')
ALLOWED_FILES = {os.path.join("net", "internet_posix.cpp"), os.path.join("net", "internet_win.cpp")}


def offenders(src):
    found = []
    for folder, _, files in os.walk(src):
        rel_folder = os.path.relpath(folder, src)
        if rel_folder == "platform" or rel_folder.startswith("platform" + os.sep):
            continue
        for name in files:
            if not name.endswith((".cpp", ".h", ".c", ".hpp")):
                continue
            rel = os.path.normpath(os.path.join(rel_folder, name))
            if rel in ALLOWED_FILES:
                continue
            with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if m and OS_HEADER.match(m.group(1).strip()):
                        found.append(f"src/{rel}:{number}: <{m.group(1)}>")
    return found


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    found = offenders(src)
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} operating-system header(s) outside src/platform/: move the calls there",
              file=sys.stderr)
        return 1
    print("no operating-system header outside src/platform/ and the HTTP back ends")
    return 0


if __name__ == "__main__":
    sys.exit(main())
