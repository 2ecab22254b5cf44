"""Names and the fixed catalogue of things placed on maps, shaped like the game's own."""

# nation folder, vehicle prefix, camouflage code
NATIONS = [
    ("russian", "R", "ussr"), ("german", "G", "ger"), ("american", "A", "usa"),
    ("french", "F", "fr"), ("british", "GB", "gb"), ("japan", "J", "jp"), ("china", "Ch", "ch"),
    ("czech", "Cz", "cz"), ("sweden", "S", "sw"), ("poland", "Pl", "pl"), ("italy", "It", "it"),
]

# Syllables for invented vehicle names. No name may hold a word the engine reads as a part or a
# folder kind (chassis, hull, gun, turret, segment, normal, crash, collision, track) or "_inside".
_HEADS = ["Falke", "Borz", "Kodiak", "Lynx", "Vepr", "Kranich", "Sokol", "Marder", "Taifun",
          "Puma", "Bison", "Orel", "Wolf", "Keiler", "Skorpion", "Jaguar", "Kobra", "Dingo",
          "Saber", "Rhino", "Condor", "Leopold", "Vityaz", "Zubr", "Mistral", "Bora", "Fenek"]
_TAILS = ["", "_I", "_II", "_III", "_IV", "_A", "_B", "_M", "_S", "_E"]
FORBIDDEN = ("chassis", "hull", "gun", "turret", "segment", "normal", "crash", "collision",
             "track", "_inside", "_hd")


def vehicle_names(rng, count):
    """count distinct (nation index, folder name, texture prefix) triples, like
    ("german", "G07_Falke_IV", "Falke_IV")."""
    out, seen = [], set()
    n = 0
    while len(out) < count:
        nation = n % len(NATIONS)
        n += 1
        head = _HEADS[rng.randrange(len(_HEADS))]
        tail = _TAILS[rng.randrange(len(_TAILS))]
        short = head + tail
        folder = "%s%02d_%s" % (NATIONS[nation][1], rng.randrange(1, 100), short)
        if folder.lower() in seen or any(w in folder.lower() for w in FORBIDDEN):
            continue
        seen.add(folder.lower())
        out.append((nation, folder, short))
    return out


# Models placed on maps, in the shared content packages. kind: "tank" (MapTanks), "train"
# (MapTrains) or "other" (no mod). textures: suffixes of <name><suffix>.dds; the albedo ones
# (_AM, and the legacy names without a suffix and with _crash) are the ones the map mods repaint.
MAP_MODELS = [
    ("content/MilitaryEnvironment", "mleSU_80_01_T34", "tank", ["_AM", "_ANM", "_GMM"]),
    ("content/MilitaryEnvironment", "mleSU_80_02_KV1", "tank", ["_AM", "_ANM", "_GMM"]),
    ("content/MilitaryEnvironment", "mleGE_80_01_PzIV", "tank", ["_AM", "_ANM", "_GMM"]),
    ("content/MilitaryEnvironment", "mleGE_80_02_Tiger", "tank", ["_AM", "_ANM"]),
    ("content/MilitaryEnvironment", "mleUS_80_01_Sherman", "tank", ["_AM", "_ANM", "_GMM"]),
    ("content/MilitaryEnvironment", "mleGB_80_01_Matilda", "tank", ["_AM", "_ANM"]),
    ("content/MilitaryEnvironment", "mleSU_83_02_OpelBlitz", "other", ["_AM", "_ANM"]),
    ("content/MilitaryEnvironment", "mle016_BoxesHowitzer", "other", [""]),
    ("content/MilitaryEnvironment", "mle021_Sandbags", "other", ["_AM", "_ANM"]),
    ("content/Railway", "rw001_Locomotive", "train", ["_AM", "_ANM", "_GMM"]),
    ("content/Railway", "rw002_SteamLocomotive", "train", ["_AM", "_ANM"]),
    ("content/Railway", "rw004_Carriage", "train", ["", "_crash", "_AM", "_ANM"]),
    ("content/Railway", "rw005_Platform", "train", ["_AM", "_ANM"]),
    ("content/Railway", "rw007_TankWagon", "train", ["_AM", "_ANM", "_GMM"]),
    ("content/Railway", "rw010_Rails", "other", ["_AM", "_ANM"]),
    ("content/Railway", "rw012_Semaphore", "other", ["_AM"]),
    ("content/Buildings", "bld_EU_House01", "other", ["_AM", "_ANM"]),
    ("content/Buildings", "bld_RU_Barn02", "other", ["_AM", "_ANM"]),
]

# A tank model and a train texture of 1024 bytes or less, which the map mods never examine.
TINY_MAP_TEXTURES = [
    ("content/MilitaryEnvironment", "mleGE_80_03_StuG", "tank", "_AM"),
    ("content/Railway", "rw006_Tender", "train", "_AM"),
]

ALBEDO_SUFFIXES = ("_AM", "", "_crash")

MAPS = ["01_karelia", "02_malinovka", "04_himmelsdorf", "05_prohorovka", "06_ensk",
        "07_lakeville", "08_ruinberg", "10_hills", "11_murovanka", "13_erlenberg",
        "14_siegfried_line", "17_munchen", "18_cliff", "19_monastery", "23_westfeld",
        "28_desert", "29_el_hallouf", "31_airfield", "33_fjord", "34_redshire", "35_steppes",
        "36_fishing_bay", "37_caucasus", "38_mannerheim_line", "44_north_america",
        "45_north_america", "47_canada_a", "60_asia_miao", "63_tundra", "73_asia_korea",
        "83_kharkiv", "84_winter", "85_winter", "86_himmelsdorf_winter", "87_ruinberg_on_fire",
        "90_minsk", "95_lost_city_ctf", "99_poland", "101_dday", "103_ruinberg_winter",
        "105_germany", "112_eiffel_tower_ctf", "114_czech", "115_sweden", "121_lost_paradise_v",
        "127_japort", "128_last_frontier", "208_bf_epic_normandy", "209_wg_epic_suburbia",
        "210_bf_epic_desert", "212_epic_random_valley", "217_er_alaska", "222_er_clime"]

# A map that the client examination does not count as a map (its name starts with a letter).
LETTER_MAP = "h33_comp7"

# An unlisted vehicle package and map package, planted by --unlisted.
UNLISTED_VEHICLE_PKG = "vehicles_level_02.pkg"
UNLISTED_MAP = "03_campania_big"

OTHER_PACKAGES = ["scripts.pkg", "gui-part1.pkg", "gui-part2.pkg", "particles.pkg",
                  "audioww.pkg", "misc.pkg"]
