"""Size profiles. Every value can be overridden on the command line."""

PROFILES = {
    # Unit and end-to-end tests: a few MB, a few seconds.
    "small": dict(vehicles=4, maps=2, texture_size=64, camouflages=2, shared_parts=2,
                  space_bin_kib=2100, variants=3, vehicles_per_part=1, other_packages=3),
    # The README's demo run: every kind of file, tens of MB.
    "demo": dict(vehicles=12, maps=4, texture_size=128, camouflages=3, shared_parts=3,
                 space_bin_kib=2600, variants=4, vehicles_per_part=2, other_packages=6),
    # Benchmarks: hundreds of MB to a few GB; scale with --vehicles, --maps, --texture-size.
    "large": dict(vehicles=150, maps=20, texture_size=512, camouflages=4, shared_parts=4,
                  space_bin_kib=8192, variants=6, vehicles_per_part=12, other_packages=6),
}

# Vehicle levels handed out in turn. Level 2 is kept free for the unlisted package.
LEVEL_CYCLE = [1, 5, 5, 8, 3, 10, 6, 7, 9, 4, 11]
