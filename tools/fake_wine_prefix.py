#!/usr/bin/python3
"""Writes a home folder with a Wine prefix holding a generated client, installed the way a player
installs one: C:\\Games\\<client> through Wargaming.net Game Center, which the client search of both
programs finds. Used to show and test the front end as a new user meets it.

usage: fake_wine_prefix.py HOME [gen_client.py options...]
"""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def main(argv):
    if len(argv) < 2 or argv[1].startswith("-"):
        sys.stderr.write(__doc__)
        return 2
    home = os.path.abspath(argv[1])
    prefix = os.path.join(home, ".wine")
    drive_c = os.path.join(prefix, "drive_c")
    games = os.path.join(drive_c, "Games")
    os.makedirs(os.path.join(prefix, "dosdevices"), exist_ok=True)
    os.makedirs(games, exist_ok=True)
    link = os.path.join(prefix, "dosdevices", "c:")
    if not os.path.lexists(link):
        os.symlink("../drive_c", link)

    made = subprocess.run([sys.executable, os.path.join(HERE, "gen_client.py"), "--out", games] + argv[2:],
                          stdout=subprocess.DEVNULL)
    if made.returncode != 0:
        return made.returncode
    clients = [name for name in sorted(os.listdir(games)) if os.path.isdir(os.path.join(games, name))]
    if not clients:
        sys.stderr.write("fake_wine_prefix: the generator wrote no client\n")
        return 1
    client = clients[0]

    center = os.path.join(drive_c, "ProgramData", "Wargaming.net", "GameCenter")
    os.makedirs(center, exist_ok=True)
    with open(os.path.join(center, "wgc.exe"), "wb") as f:
        f.write(b"MZ")
    with open(os.path.join(center, "preferences.xml"), "w") as f:
        f.write("<protocol><application><current_game>C:\\Games\\%s</current_game></application>"
                "<games_manager><games><game><working_dir>C:\\Games\\%s</working_dir></game></games>"
                "</games_manager></protocol>\n" % (client, client))
    # Wine's registry file: the launcher's uninstall entry names its icon, and so its folder.
    with open(os.path.join(prefix, "user.reg"), "w") as f:
        f.write("WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
                "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Wargaming.net Game Center]"
                " 1700000000\n\"DisplayIcon\"=\"C:\\\\ProgramData\\\\Wargaming.net\\\\GameCenter\\\\wgc.exe,0\"\n\n")
    with open(os.path.join(prefix, "system.reg"), "w") as f:
        f.write("WINE REGISTRY Version 2\n\n")
    print(os.path.join(games, client))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
