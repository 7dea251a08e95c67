"""Finds the icon the way a person does: our blue disc in a screenshot."""

from PIL import Image

DISC = (0x1F, 0x6F, 0xEB)
TOLERANCE = 40
MIN_PIXELS = 20  # a 16 px disc has about 150


def find_disc(path, area):
    """The centre (x, y) of the disc's pixels inside area (left, top, right, bottom), or None."""
    image = Image.open(path).convert("RGB").crop(area)
    width = image.width
    xs, ys = [], []
    for index, pixel in enumerate(image.getdata()):
        if all(abs(a - b) <= TOLERANCE for a, b in zip(pixel, DISC)):
            xs.append(index % width)
            ys.append(index // width)
    if len(xs) < MIN_PIXELS:
        return None
    return area[0] + sum(xs) // len(xs), area[1] + sum(ys) // len(ys)
