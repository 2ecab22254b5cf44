#!/usr/bin/python3
"""Writes a home folder with a Wine prefix holding a generated client, installed the way a player
installs one, so that the client search of both programs finds it. Used to show and test the front
end as a new user meets it.

usage: fake_wine_prefix.py HOME [--install launcher|machine|proton] [gen_client.py options...]

  launcher  C:\\Games\\<client> in ~/.wine through Wargaming.net Game Center (the default)
  machine   C:\\Games\\<client> in ~/.wine, recorded only in the machine's uninstall entries
            (system.reg, 32-bit view), as older stand-alone installers record it
  proton    C:\\Games\\<client> in a Proton prefix of a second Steam library (~/SteamLibrary),
            recorded in the prefix user's uninstall entries as Lesta's installer writes them
"""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

USER_REG = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
MACHINE_REG = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"


def reg_text(s):
    """A string as Wine writes it into its registry files: characters beyond ASCII as \\x codes."""
    out = ""
    for ch in s:
        if ch == "\\":
            out += "\\\\"
        elif ord(ch) < 128:
            out += ch
        else:
            out += "\\x%x" % ord(ch)
    return out


def uninstall_entry(key_path, name, publisher, location):
    return ("[%s] 1700000000\n\"DisplayName\"=\"%s\"\n\"Publisher\"=\"%s\"\n\"InstallLocation\"=\"%s\"\n\n"
            % (reg_text(key_path), reg_text(name), reg_text(publisher), reg_text(location)))


def main(argv):
    if len(argv) < 2 or argv[1].startswith("-"):
        sys.stderr.write(__doc__)
        return 2
    home = os.path.abspath(argv[1])
    rest = argv[2:]
    install = "launcher"
    if len(rest) >= 2 and rest[0] == "--install":
        install = rest[1]
        rest = rest[2:]
    if install not in ("launcher", "machine", "proton"):
        sys.stderr.write(__doc__)
        return 2

    if install == "proton":
        library = os.path.join(home, "SteamLibrary")
        prefix = os.path.join(library, "steamapps", "compatdata", "1407200", "pfx")
        steamapps = os.path.join(home, ".local", "share", "Steam", "steamapps")
        os.makedirs(steamapps, exist_ok=True)
        with open(os.path.join(steamapps, "libraryfolders.vdf"), "w") as f:
            f.write('"libraryfolders"\n{\n\t"0"\n\t{\n\t\t"path"\t\t"%s"\n\t}\n\t"1"\n\t{\n\t\t"path"\t\t"%s"\n\t}\n}\n'
                    % (os.path.dirname(steamapps), library))
    else:
        prefix = os.path.join(home, ".wine")
    drive_c = os.path.join(prefix, "drive_c")
    games = os.path.join(drive_c, "Games")
    os.makedirs(os.path.join(prefix, "dosdevices"), exist_ok=True)
    os.makedirs(games, exist_ok=True)
    link = os.path.join(prefix, "dosdevices", "c:")
    if not os.path.lexists(link):
        os.symlink("../drive_c", link)

    made = subprocess.run([sys.executable, os.path.join(HERE, "gen_client.py"), "--out", games] + rest,
                          stdout=subprocess.DEVNULL)
    if made.returncode != 0:
        return made.returncode
    clients = [name for name in sorted(os.listdir(games)) if os.path.isdir(os.path.join(games, name))]
    if not clients:
        sys.stderr.write("fake_wine_prefix: the generator wrote no client\n")
        return 1
    client = clients[0]
    location = "C:\\Games\\%s\\" % client
    uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"

    user = USER_REG
    machine = MACHINE_REG
    if install == "launcher":
        center = os.path.join(drive_c, "ProgramData", "Wargaming.net", "GameCenter")
        os.makedirs(center, exist_ok=True)
        with open(os.path.join(center, "wgc.exe"), "wb") as f:
            f.write(b"MZ")
        with open(os.path.join(center, "preferences.xml"), "w") as f:
            f.write("<protocol><application><current_game>C:\\Games\\%s</current_game></application>"
                    "<games_manager><games><game><working_dir>C:\\Games\\%s</working_dir></game></games>"
                    "</games_manager></protocol>\n" % (client, client))
        # The launcher's uninstall entry names its icon, and so its folder.
        user += ("[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Wargaming.net Game Center]"
                 " 1700000000\n\"DisplayIcon\"=\"C:\\\\ProgramData\\\\Wargaming.net\\\\GameCenter\\\\wgc.exe,0\"\n\n")
    elif install == "machine":
        machine += uninstall_entry("Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                                   "{1EAC1D02-C6AC-4FA6-9A44-96258C37C812eu}_is1",
                                   "World of Tanks", "Wargaming.net", location)
    else:
        user += uninstall_entry(uninstall + "Tanki", u"\u041c\u0438\u0440 \u0442\u0430\u043d\u043a\u043e\u0432",
                                "Lesta Games", location)
    with open(os.path.join(prefix, "user.reg"), "w", encoding="utf-8") as f:
        f.write(user)
    with open(os.path.join(prefix, "system.reg"), "w", encoding="utf-8") as f:
        f.write(machine)
    print(os.path.join(games, client))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
