#!/usr/bin/env python3
"""Draws every picture of Korvanda: the pegs and the empty hole, the three marks, the
palette arrow, the standing man beside the palette, and the eye icon.

Each board picture is written to assets/pictures/ twice: at its normal size and, as
"name@2x.png", redrawn at double resolution for high-density screens. The icon goes to
assets/icons/ at several sizes, as a hand-written style SVG and as a Windows ICO.

Everything is pixel art with hard edges: a pixel belongs to a shape when its centre lies
inside it, and transparent pixels are fully transparent. Only the standard library is used,
and the output is the same byte for byte on every run. To redraw everything, run from the
repository root:

    python3 assets/tools/draw_pictures.py
"""

import math
import os
import struct
import zlib

ASSETS_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PICTURES_DIR = os.path.join(ASSETS_DIR, "pictures")
ICONS_DIR = os.path.join(ASSETS_DIR, "icons")

# The board pictures are drawn at these scales; 2 is written with the "@2x" suffix.
SCALES = (1, 2)

TRANSPARENT = (0, 0, 0, 0)
BLACK = (0, 0, 0, 255)
WHITE = (255, 255, 255, 255)

# Pegs and the empty hole: a disc on the board's slate-grey ground.
PEG_SIZE = 28
PEG_CENTRE = 14
PEG_RADIUS = 6
PEG_GROUND = (80, 91, 97, 255)
PEG_COLOURS = {
    "peg-red": (252, 0, 25, 255),
    "peg-yellow": (252, 248, 0, 255),
    "peg-green": (35, 255, 0, 255),
    "peg-blue": (0, 27, 251, 255),
    "hole-empty": BLACK,
}

# Marks: flat squares in the feedback boxes.
MARK_SIZE = 10
MARK_COLOURS = {
    "mark-blank": (181, 181, 181, 255),
    "mark-black": BLACK,
    "mark-white": (253, 252, 255, 255),
}

# The arrow that points at the chosen palette colour. The shadow is dithered (every other
# pixel) because the picture has no partly transparent pixels to soften it with.
ARROW_SIZE = 32
ARROW_SHAFT = ((3, 12), (17, 20))  # left-top and right-bottom corners
ARROW_HEAD = ((15, 4), (30, 16), (15, 28))  # top of the base, tip, bottom of the base
ARROW_SHADOW_OFFSET = (-2, 2)  # towards the left and down
ARROW_SHADOW = (64, 64, 64, 255)

# The standing man: white lines on black, one pixel wide at normal size and two at
# double. He stands on the middle line of the picture.
FIGURE_WIDTH = 54
FIGURE_HEIGHT = 254
FIGURE_MIDDLE = FIGURE_WIDTH / 2
FIGURE_LINE = WHITE
FIGURE_GROUND = BLACK

# The eye icon. Its geometry is given on a unit square so that every size, and the SVG,
# is drawn from the same numbers. The colours come from the classic 16-colour palette.
# 192 and 512 are the sizes that browsers ask a web app manifest for.
ICON_SIZES = (16, 32, 48, 64, 128, 192, 256, 512)
ICO_SIZES = (16, 32)
SVG_SIZE = 256
EYE_BLACK = BLACK
EYE_WHITE = WHITE
EYE_LID = (192, 192, 192, 255)  # light grey
EYE_LID_SHADOW = (128, 128, 128, 255)  # dark grey
EYE_IRIS = (0, 0, 255, 255)  # blue
EYE_IRIS_RIM = (0, 0, 128, 255)  # navy
# An almond is given by its left and right corners (on the middle line) and the highest
# and lowest points of its upper and lower edges.
EYE_LIDS = (0.0, 1.0, 0.16, 0.84)
EYE_LID_SHADOW_ALMOND = (0.08, 0.92, 0.22, 0.71)
EYE_BALL = (0.08, 0.92, 0.29, 0.71)
EYE_IRIS_CENTRE = (0.5, 0.5)
EYE_IRIS_RADIUS = 0.22
EYE_PUPIL_RADIUS = 0.09
EYE_GLINT_CENTRE = (0.45, 0.45)
EYE_GLINT_RADIUS = 0.04
# Outline widths as a share of the icon's size; never thinner than one pixel.
EYE_OUTLINE = 0.02
EYE_IRIS_RIM_WIDTH = 0.025


# ---------------------------------------------------------------------------------------
# Shapes. Each answers whether a point lies inside it and gives a box that holds it, in
# the drawing's own units (pixels at normal size, or the unit square for the icon).


class Ellipse:
    def __init__(self, cx, cy, rx, ry=None):
        self.cx, self.cy, self.rx = cx, cy, rx
        self.ry = rx if ry is None else ry

    def contains(self, x, y):
        dx = (x - self.cx) / self.rx
        dy = (y - self.cy) / self.ry
        return dx * dx + dy * dy <= 1

    def bounds(self):
        return (self.cx - self.rx, self.cy - self.ry, self.cx + self.rx, self.cy + self.ry)


class Polygon:
    def __init__(self, points):
        self.points = list(points)

    def contains(self, x, y):
        # Even-odd rule: count the edges crossed by a ray going right from the point.
        inside = False
        count = len(self.points)
        for k in range(count):
            x1, y1 = self.points[k]
            x2, y2 = self.points[(k + 1) % count]
            if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                inside = not inside
        return inside

    def bounds(self):
        xs = [p[0] for p in self.points]
        ys = [p[1] for p in self.points]
        return (min(xs), min(ys), max(xs), max(ys))


class Intersection:
    def __init__(self, *shapes):
        self.shapes = shapes

    def contains(self, x, y):
        return all(shape.contains(x, y) for shape in self.shapes)

    def bounds(self):
        boxes = [shape.bounds() for shape in self.shapes]
        return (max(b[0] for b in boxes), max(b[1] for b in boxes),
                min(b[2] for b in boxes), min(b[3] for b in boxes))


class Union:
    def __init__(self, *shapes):
        self.shapes = shapes

    def contains(self, x, y):
        return any(shape.contains(x, y) for shape in self.shapes)

    def bounds(self):
        boxes = [shape.bounds() for shape in self.shapes]
        return (min(b[0] for b in boxes), min(b[1] for b in boxes),
                max(b[2] for b in boxes), max(b[3] for b in boxes))


def rectangle(left, top, right, bottom):
    return Polygon([(left, top), (right, top), (right, bottom), (left, bottom)])


def half_plane_below(y_limit):
    """Everything below a horizontal line, to cut shapes with."""
    return rectangle(-1e6, y_limit, 1e6, 1e6)


def bezier(p0, p1, p2, p3, steps=12):
    """Points along a cubic curve, for outlines that need to be smooth; p0 itself is
    left out so that curves can be chained after one another."""
    points = []
    for k in range(1, steps + 1):
        t = k / steps
        u = 1 - t
        points.append(tuple(u * u * u * a + 3 * u * u * t * b + 3 * u * t * t * c + t * t * t * d
                            for a, b, c, d in zip(p0, p1, p2, p3)))
    return points


def mirrored_outline(left_half, axis_x):
    """A closed outline that is symmetric about a vertical line: the given points run
    down the left side and are repeated, mirrored and in reverse, up the right side."""
    right_half = [(2 * axis_x - x, y) for x, y in reversed(left_half)]
    return left_half + right_half


# ---------------------------------------------------------------------------------------
# Turning shapes into pixels. A pixel (i, j) at a scale has its centre at
# ((i + 0.5) / scale, (j + 0.5) / scale) in drawing units.


def shape_pixels(shape, scale):
    x0, y0, x1, y1 = shape.bounds()
    pixels = set()
    for j in range(max(0, math.floor(y0 * scale) - 1), math.ceil(y1 * scale) + 1):
        for i in range(max(0, math.floor(x0 * scale) - 1), math.ceil(x1 * scale) + 1):
            if shape.contains((i + 0.5) / scale, (j + 0.5) / scale):
                pixels.add((i, j))
    return pixels


def border_pixels(pixels, width):
    """The pixels of a shape that lie within `width` steps, straight across or straight
    down, of a pixel outside it: a line drawn just inside the shape's edge. Looking only
    straight across and down (not diagonally) keeps a one-pixel border thin at corners."""
    border = set()
    for i, j in pixels:
        for di, dj in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            if any((i + di * k, j + dj * k) not in pixels for k in range(1, width + 1)):
                border.add((i, j))
                break
    return border


def stroke_pixels(points, scale, width):
    """A line through the points (drawing units) with a square pen `width` pixels
    across. Corner pixels that would make the line look doubled are left out."""
    path = []
    for (xa, ya), (xb, yb) in zip(points, points[1:]):
        steps = max(1, math.ceil(2 * scale * max(abs(xb - xa), abs(yb - ya))))
        for k in range(steps + 1):
            x = (xa + (xb - xa) * k / steps) * scale - width / 2
            y = (ya + (yb - ya) * k / steps) * scale - width / 2
            spot = (math.floor(x + 0.5), math.floor(y + 0.5))
            if path and path[-1] == spot:
                continue
            # A step that the spot two back could have made at once makes a corner.
            while len(path) >= 2 and max(abs(path[-2][0] - spot[0]),
                                         abs(path[-2][1] - spot[1])) <= 1:
                path.pop()
            path.append(spot)
    return {(i + di, j + dj) for i, j in path for di in range(width) for dj in range(width)}


def mirror(pixels, image_width):
    """The pixels together with their mirror images across the picture's middle."""
    return pixels | {(image_width - 1 - i, j) for i, j in pixels}


class Canvas:
    def __init__(self, width, height, ground):
        self.width = width
        self.height = height
        self.rows = [[ground] * width for _ in range(height)]

    def paint(self, pixels, colour):
        for i, j in pixels:
            if 0 <= i < self.width and 0 <= j < self.height:
                self.rows[j][i] = colour

    def is_opaque(self):
        return all(pixel[3] == 255 for row in self.rows for pixel in row)


# ---------------------------------------------------------------------------------------
# Files.


def png_bytes(canvas):
    """An 8-bit PNG: RGB when every pixel is opaque, RGBA otherwise."""
    opaque = canvas.is_opaque()
    channels = 3 if opaque else 4
    raw = b"".join(b"\x00" + bytes(value for pixel in row for value in pixel[:channels])
                   for row in canvas.rows)

    def chunk(tag, data):
        return (struct.pack(">I", len(data)) + tag + data
                + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 2 if opaque else 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico_bytes(canvases):
    """A Windows icon with one 32-bit image per canvas, stored as a device-independent
    bitmap (BGRA colours, rows bottom-up) with its 1-bit transparency mask, which every
    version of Windows reads."""
    images = []
    for canvas in canvases:
        size = canvas.width
        colours = b"".join(bytes((b, g, r, a)) for row in reversed(canvas.rows)
                           for r, g, b, a in row)
        mask_row_bytes = (size + 31) // 32 * 4  # each mask row is padded to 32 bits
        mask = bytearray()
        for row in reversed(canvas.rows):
            bits = bytearray(mask_row_bytes)
            for i, pixel in enumerate(row):
                if pixel[3] == 0:
                    bits[i // 8] |= 0x80 >> (i % 8)
            mask += bits
        info = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0,
                           len(colours) + len(mask), 0, 0, 0, 0)
        images.append((size, info + colours + bytes(mask)))

    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, data in images:
        # The directory has one byte per side, where 0 stands for 256.
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, data in images)


def write_file(directory, name, data):
    os.makedirs(directory, exist_ok=True)
    with open(os.path.join(directory, name), "wb") as file:
        file.write(data)


def picture_name(base, scale):
    return base + ("" if scale == 1 else "@%dx" % scale) + ".png"


# ---------------------------------------------------------------------------------------
# The board pictures.


def draw_peg(colour, scale):
    canvas = Canvas(PEG_SIZE * scale, PEG_SIZE * scale, PEG_GROUND)
    canvas.paint(shape_pixels(Ellipse(PEG_CENTRE, PEG_CENTRE, PEG_RADIUS), scale), colour)
    return canvas


def draw_mark(colour, scale):
    return Canvas(MARK_SIZE * scale, MARK_SIZE * scale, colour)


def draw_arrow(scale):
    canvas = Canvas(ARROW_SIZE * scale, ARROW_SIZE * scale, TRANSPARENT)
    (left, top), (right, bottom) = ARROW_SHAFT
    arrow = shape_pixels(Union(rectangle(left, top, right, bottom), Polygon(ARROW_HEAD)), scale)
    dx, dy = (offset * scale for offset in ARROW_SHADOW_OFFSET)
    shadow = {(i + dx, j + dy) for i, j in arrow} - arrow
    canvas.paint({(i, j) for i, j in shadow if (i + j) % 2 == 0}, ARROW_SHADOW)
    canvas.paint(arrow, BLACK)
    return canvas


class FigureDrawing:
    """Paints the man from the back to the front: each closed part first blacks out what
    lies behind it and then gets a white border, so nearer parts hide the lines of those
    behind them, as in a pen drawing."""

    def __init__(self, scale):
        self.scale = scale
        self.canvas = Canvas(FIGURE_WIDTH * scale, FIGURE_HEIGHT * scale, FIGURE_GROUND)

    def part(self, shape, both_sides=False):
        """A closed part; with both_sides, also its mirror image on the man's other side."""
        inside = shape_pixels(shape, self.scale)
        border = border_pixels(inside, self.scale)
        if both_sides:
            inside = mirror(inside, self.canvas.width)
            border = mirror(border, self.canvas.width)
        self.canvas.paint(inside, FIGURE_GROUND)
        self.canvas.paint(border, FIGURE_LINE)

    def solid(self, shape, both_sides=False):
        """A part painted all white, for things too small to show a black inside."""
        pixels = shape_pixels(shape, self.scale)
        self.canvas.paint(mirror(pixels, self.canvas.width) if both_sides else pixels, FIGURE_LINE)

    def line(self, points, both_sides=False):
        pixels = stroke_pixels(points, self.scale, self.scale)
        self.canvas.paint(mirror(pixels, self.canvas.width) if both_sides else pixels, FIGURE_LINE)


# The man's parts. Numbers are pixels at normal size; a part that he has on both sides is
# given for the viewer's left and mirrored.


def draw_figure(scale):
    man = FigureDrawing(scale)
    draw_legs(man)
    draw_arms(man)
    draw_shirt(man)
    draw_head(man)
    return man.canvas


def draw_legs(man):
    # Shoes first: the trouser hems fall over them. Seen from the front, a shoe is its
    # rounded toe under the hem, with the sole below it.
    shoe = [(13, 236), (12.5, 241)] + bezier((12.5, 241), (10, 242.5), (9, 247), (9.5, 251.5)) \
        + [(26, 251.5)] + bezier((26, 251.5), (26.5, 247), (26.5, 243), (25.5, 236))
    man.part(Polygon(shoe), both_sides=True)
    man.line([(10, 249.5), (26, 249.5)], both_sides=True)  # the top of the sole
    man.line(bezier((12, 249), (13, 244), (22, 244), (23.5, 249)), both_sides=True)  # toe cap

    # Both trouser legs are one piece, split up to the crotch; the legs stand a little apart.
    left_leg = [(13.5, 122), (13, 160), (13.5, 200), (14, 242), (25, 242), (26.5, 148)]
    man.part(Polygon(mirrored_outline(left_leg, FIGURE_MIDDLE)))
    man.line(bezier((15.5, 128), (17, 132), (18.5, 136), (19.5, 141)), both_sides=True)  # pockets
    fly = [(30.5, 127), (30.5, 141)] + bezier((30.5, 141), (30.5, 144), (29.5, 146), (27.5, 147.5))
    man.line(fly)


def draw_arms(man):
    # Hands first, so the cuffs cover the wrists.
    hand = [(5, 122)] + bezier((5, 122), (4, 128), (3.5, 133), (4.5, 137)) \
        + bezier((4.5, 137), (5.5, 141), (6.5, 143), (8, 143)) \
        + bezier((8, 143), (10, 142), (11, 137), (11, 133)) + [(11, 122)]
    man.part(Polygon(hand), both_sides=True)
    man.line(bezier((10.5, 127), (9, 129), (8.5, 132), (9.5, 135)), both_sides=True)  # thumb

    # The sleeve starts under the shoulder of the shirt, which is drawn over it.
    sleeve = [(13, 50), (8.5, 53)] + bezier((8.5, 53), (6, 60), (6, 70), (5.5, 85)) \
        + [(4, 125), (11, 125), (12.5, 95), (14, 66), (15, 52)]
    man.part(Polygon(sleeve), both_sides=True)
    man.line([(4.5, 119.5), (10.5, 119.5)], both_sides=True)  # the cuff


def draw_shirt(man):
    # The shirt's left half: neck, shoulder, the seam round the armhole, side, waist.
    left = [(21.5, 42)] + bezier((21.5, 42), (17, 44), (12, 46), (9.5, 49)) \
        + bezier((9.5, 49), (7.5, 51), (7.5, 56), (9, 59)) \
        + bezier((9, 59), (10.5, 62), (12, 64), (14, 66)) \
        + [(14.5, 95), (15, 126)]
    man.part(Polygon(mirrored_outline(left, FIGURE_MIDDLE)))

    # A button placket down the middle and a pocket on the man's left breast.
    man.line([(28.5, 52), (28.5, 120)])
    for y in range(60, 120, 14):
        man.solid(Ellipse(26.5, y + 0.5, 0.9))
    man.part(Polygon([(31.5, 62), (38.5, 62), (38.5, 72), (35, 74), (31.5, 72)]))
    man.line([(31.5, 64.5), (38.5, 64.5)])

    # The belt with its buckle and loops.
    man.part(rectangle(14, 120, 40, 127))
    man.part(rectangle(24, 119, 30, 128))
    man.solid(rectangle(26, 123, 28, 124))
    man.line([(18.5, 120), (18.5, 127)], both_sides=True)

    # The neck, then the collar, whose points fall onto the chest.
    man.part(rectangle(22, 34, 32, 46))
    collar = [(21.5, 40.5), (17, 46.5), (23, 53), (27, 47.5), (27.5, 47.5), (25.5, 44)]
    man.part(Polygon(collar), both_sides=True)


def draw_head(man):
    man.part(Ellipse(17, 28, 1.8, 4), both_sides=True)  # ears, behind the face
    man.part(Ellipse(27, 27, 10.5, 14))

    # Dark glasses: a bridge and arms to the ears behind two lenses with a flat top and a
    # glint of light, which is what shows them as dark glass rather than empty frames.
    man.solid(rectangle(25, 23, 29, 24))
    man.solid(rectangle(15, 23, 18, 24), both_sides=True)
    man.part(Intersection(Ellipse(22, 22.5, 4.2, 5), half_plane_below(22)), both_sides=True)
    man.line([(19.5, 25.5), (21.5, 23.5)])
    man.line([(29.5, 25.5), (31.5, 23.5)])

    man.line([(27.5, 28.5), (28.5, 32), (26.5, 33)])  # the nose
    man.line(bezier((23, 36), (25, 38), (29, 38.5), (32, 35.5)))  # a slight smile

    # A peaked cap: the flat top, seen nearly edge on, is wider than the band round the
    # head; a badge on the front; the peak below reaches towards the viewer, so its near
    # edge hangs lowest in the middle.
    crown = bezier((27, 3.5), (21, 3.5), (15, 5), (13.5, 8)) + [(14, 10), (18, 13), (18, 16.5)]
    man.part(Polygon(mirrored_outline(crown, FIGURE_MIDDLE)))
    man.line([(18, 13.5), (36, 13.5)])
    man.solid(Polygon([(27, 7.5), (28.5, 9.5), (27, 11.5), (25.5, 9.5)]))
    man.part(Intersection(Ellipse(27, 16, 10.5, 4.4), half_plane_below(16)))


# ---------------------------------------------------------------------------------------
# The eye icon.


def almond_circles(left, right, top, bottom):
    """The two circles whose arcs make an almond: one for the upper edge (its centre lies
    below) and one for the lower edge. Returns ((cx, cy, r), (cx, cy, r))."""
    middle_x = (left + right) / 2
    half_width = (right - left) / 2
    upper_sag = 0.5 - top
    lower_sag = bottom - 0.5
    upper_r = (half_width ** 2 + upper_sag ** 2) / (2 * upper_sag)
    lower_r = (half_width ** 2 + lower_sag ** 2) / (2 * lower_sag)
    return (middle_x, top + upper_r, upper_r), (middle_x, bottom - lower_r, lower_r)


def almond(corners_and_heights):
    upper, lower = almond_circles(*corners_and_heights)
    return Intersection(Ellipse(*upper), Ellipse(*lower))


def line_width(share, size):
    return max(1, round(share * size))


def draw_eye(size):
    canvas = Canvas(size, size, TRANSPARENT)
    outline = line_width(EYE_OUTLINE, size)

    lids = shape_pixels(almond(EYE_LIDS), size)
    lid_rim = border_pixels(lids, outline)
    canvas.paint(lids, EYE_LID)
    canvas.paint(lid_rim, EYE_BLACK)
    canvas.paint(shape_pixels(almond(EYE_LID_SHADOW_ALMOND), size) & (lids - lid_rim),
                 EYE_LID_SHADOW)

    # Only the upper edge of the eyeball gets a black line, for the lashes; along the lower
    # lid the white meets the grey directly, which keeps the small sizes from going muddy.
    ball = shape_pixels(almond(EYE_BALL), size)
    lash_line = {(i, j) for i, j in ball
                 if any((i, j - k) not in ball for k in range(1, outline + 1))}
    inside_ball = ball - lash_line
    canvas.paint(ball, EYE_WHITE)
    canvas.paint(lash_line, EYE_BLACK)

    # The upper lid covers the top of the iris, so every part of it is cut to the eyeball.
    iris = shape_pixels(Ellipse(*EYE_IRIS_CENTRE, EYE_IRIS_RADIUS), size)
    canvas.paint(iris & inside_ball, EYE_IRIS)
    canvas.paint(border_pixels(iris, line_width(EYE_IRIS_RIM_WIDTH, size)) & inside_ball,
                 EYE_IRIS_RIM)
    canvas.paint(shape_pixels(Ellipse(*EYE_IRIS_CENTRE, EYE_PUPIL_RADIUS), size) & inside_ball,
                 EYE_BLACK)
    canvas.paint(shape_pixels(Ellipse(*EYE_GLINT_CENTRE, EYE_GLINT_RADIUS), size) & inside_ball,
                 EYE_WHITE)
    return canvas


def svg_colour(colour):
    return "#%02x%02x%02x" % colour[:3]


def svg_number(value):
    """A length on the unit square as SVG user units, without needless decimals."""
    return ("%.2f" % (value * SVG_SIZE)).rstrip("0").rstrip(".")


def svg_lens(upper, lower):
    """An SVG path for the shape inside both circles (cx, cy, r): an arc of the first
    along the top, an arc of the second back along the bottom. Both centres lie on the
    middle line of the icon."""
    (cx, upper_cy, upper_r), (_, lower_cy, lower_r) = upper, lower
    # The corners lie where the two circles cross.
    y = (upper_r ** 2 - lower_r ** 2 + lower_cy ** 2 - upper_cy ** 2) / (2 * (lower_cy - upper_cy))
    half_width = math.sqrt(upper_r ** 2 - (y - upper_cy) ** 2)
    left, right, y = svg_number(cx - half_width), svg_number(cx + half_width), svg_number(y)
    return "M %s %s A %s %s 0 0 1 %s %s A %s %s 0 0 1 %s %s Z" % (
        left, y, svg_number(upper_r), svg_number(upper_r), right, y,
        svg_number(lower_r), svg_number(lower_r), left, y)


def eye_svg():
    """The eye as a small SVG with the same colours and proportions as the PNG icons.

    Simple renderers often lack clipping, so none is used: the iris is painted whole and
    the lids are then laid over it as rings (even-odd paths) round the visible eyeball."""
    width = EYE_OUTLINE  # well over a pixel at the SVG's size, so no one-pixel floor
    lids_upper, lids_lower = almond_circles(*EYE_LIDS)
    ball_upper, ball_lower = almond_circles(*EYE_BALL)
    inset_lids = svg_lens((lids_upper[0], lids_upper[1], lids_upper[2] - width),
                          (lids_lower[0], lids_lower[1], lids_lower[2] - width))
    # What shows of the eyeball lies below the lash line along its upper edge.
    visible_ball = svg_lens((ball_upper[0], ball_upper[1] + width, ball_upper[2]), ball_lower)
    iris_x, iris_y = EYE_IRIS_CENTRE
    glint_x, glint_y = EYE_GLINT_CENTRE

    def circle(x, y, radius, colour):
        return '  <circle cx="%s" cy="%s" r="%s" fill="%s"/>' % (
            svg_number(x), svg_number(y), svg_number(radius), svg_colour(colour))

    def ring(outer, colour):
        return '  <path d="%s %s" fill="%s" fill-rule="evenodd"/>' % (
            outer, visible_ball, svg_colour(colour))

    return "\n".join([
        '<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 %d %d" width="%d" height="%d">'
        % (SVG_SIZE, SVG_SIZE, SVG_SIZE, SVG_SIZE),
        "  <!-- the eyeball, the iris with its rim, the pupil and a glint -->",
        '  <path d="%s" fill="%s"/>' % (visible_ball, svg_colour(EYE_WHITE)),
        circle(iris_x, iris_y, EYE_IRIS_RADIUS, EYE_IRIS_RIM),
        circle(iris_x, iris_y, EYE_IRIS_RADIUS - EYE_IRIS_RIM_WIDTH, EYE_IRIS),
        circle(iris_x, iris_y, EYE_PUPIL_RADIUS, EYE_BLACK),
        circle(glint_x, glint_y, EYE_GLINT_RADIUS, EYE_WHITE),
        "  <!-- the lids over it: outline, lid, the shadow under the upper lid, lashes -->",
        ring(svg_lens(lids_upper, lids_lower), EYE_BLACK),
        ring(inset_lids, EYE_LID),
        ring(svg_lens(*almond_circles(*EYE_LID_SHADOW_ALMOND)), EYE_LID_SHADOW),
        ring(svg_lens(ball_upper, ball_lower), EYE_BLACK),
        "</svg>",
        "",
    ])


# ---------------------------------------------------------------------------------------
# Writing everything.


def main():
    for scale in SCALES:
        for name, colour in PEG_COLOURS.items():
            write_file(PICTURES_DIR, picture_name(name, scale), png_bytes(draw_peg(colour, scale)))
        for name, colour in MARK_COLOURS.items():
            write_file(PICTURES_DIR, picture_name(name, scale), png_bytes(draw_mark(colour, scale)))
        write_file(PICTURES_DIR, picture_name("arrow", scale), png_bytes(draw_arrow(scale)))
        write_file(PICTURES_DIR, picture_name("figure", scale), png_bytes(draw_figure(scale)))

    eyes = {size: draw_eye(size) for size in ICON_SIZES}
    for size, canvas in eyes.items():
        write_file(ICONS_DIR, "korvanda-%d.png" % size, png_bytes(canvas))
    write_file(ICONS_DIR, "korvanda.svg", eye_svg().encode("ascii"))
    write_file(ICONS_DIR, "korvanda.ico", ico_bytes([eyes[size] for size in ICO_SIZES]))


if __name__ == "__main__":
    main()
