#!/usr/bin/env python3
"""Synthetic World of Tanks client generator; see tools/README.md or --help."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from gen_client.cli import main  # noqa: E402

if __name__ == "__main__":
    sys.exit(main())
