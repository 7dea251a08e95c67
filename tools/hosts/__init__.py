"""Tray hosts run headless: one class per host, each in its own file."""
