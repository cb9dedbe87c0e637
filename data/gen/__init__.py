"""Producers of generated game data: each module has a produce(entries) that adds archive
entries (name -> bytes) and, where the game probes for names it may not find, a probes(entries)
that lists them."""
