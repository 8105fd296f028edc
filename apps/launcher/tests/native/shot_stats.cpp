// launcher-shot-stats <shot.png>...: what a screenshot of the launcher's 960 x 600 client area shows
// in its 640 x 480 logo area, one line per shot: "<file> red green blue mark glint lit run", counting
// red, green and blue pixels, light pixels in the word mark's rows, the glint's near-white pixels
// about them, every pixel that is not black, and giving the tallest column of coloured pixels (thin
// for the sketch's lines, tall for the letters). launcher_test.sh reads it.
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Counts {
    long red = 0, green = 0, blue = 0, mark = 0, glint = 0, lit = 0, run = 0;
};

bool count(const char *file, Counts &c)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file))
        return false;
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        return false;
    const int left = (int(image.width) - 640) / 2, top = (int(image.height) - 480) / 2;
    std::vector<long> runs(640, 0);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const int sx = left + x, sy = top + y;
            if (sx < 0 || sy < 0 || sx >= int(image.width) || sy >= int(image.height))
                continue;
            const png_byte *p = &pixels[(size_t(sy) * image.width + sx) * 3];
            const int r = p[0], g = p[1], b = p[2];
            const bool red = r > 150 && g < 110 && b < 110, green = g > 150 && r < 130 && b < 160,
                       blue = b > 150 && r < 130 && g < 180;
            c.red += red;
            c.green += green;
            c.blue += blue;
            runs[x] = red || green || blue ? runs[x] + 1 : 0;
            c.run = std::max(c.run, runs[x]);
            c.mark += y >= 300 && y <= 345 && r > 200 && g > 200 && b > 200;
            c.glint += y >= 280 && y <= 350 && r >= 250 && g >= 250 && b >= 215;
            c.lit += r + g + b > 30;
        }
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        Counts c;
        if (!count(argv[i], c)) {
            std::fprintf(stderr, "launcher-shot-stats: cannot read %s\n", argv[i]);
            status = 1;
            continue;
        }
        std::printf("%s %ld %ld %ld %ld %ld %ld %ld\n", argv[i], c.red, c.green, c.blue, c.mark, c.glint, c.lit,
                    c.run);
    }
    return status;
}
