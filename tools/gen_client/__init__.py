"""Synthetic World of Tanks client generator.

Writes a client folder whose files follow the game's formats (zip packages, packed-section
model files, DXT1/DXT5 textures, space.bin maps) from this package's own code, plus a JSON
manifest that says what each mod should change and what it must leave alone.
"""

FORMAT_VERSION = 1
