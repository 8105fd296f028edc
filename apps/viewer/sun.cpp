// Portable sun model.
#include "sun.h"

#include <math.h>

namespace {

const double kPi = 3.14159265358979323846;

double rise(double c, double w, double x)
{
    if (x < c - w)
        return 0;
    if (x > c + w)
        return 1;
    return sin((x - c) / w * kPi / 2);
}

double fall(double c, double w, double x)
{
    if (x < c - w)
        return 1;
    if (x > c + w)
        return 0;
    return -sin((x - c) / w * kPi / 2);
}

// Three channel factors given as (blue, green, red), each scaled and cut to its low 8 bits.
uint32_t colour(double blue, double green, double red, double scale)
{
    auto channel = [scale](double f) { return (uint32_t)(int64_t)(f * scale) & 0xFF; };
    return channel(red) | channel(green) << 8 | channel(blue) << 16;
}

} // namespace

SunLight sun_at(int t)
{
    SunLight sun = {};
    double b = (t % 1440) / 1440.0 * 360.0;
    double c = -b / 180.0 * kPi;
    const double D = 1.4959787e10;
    double p = -D * cos(c);
    double sx = -D * sin(c);
    double u = (135.0 + 23.45 * cos(t / 1440.0 / 12.0 * 2 * kPi)) / 180.0 * kPi;
    double sy = p * sin(u) - 6.4e6, sz = p * cos(u);
    sun.position = {(float)sx, (float)sy, (float)sz};
    double length = sqrt(sx * sx + sy * sy + sz * sz);
    sun.direction = {(float)(-sx / length), (float)(-sy / length), (float)(-sz / length)};

    if (sy >= 0) {
        double s = fmin(sy / 1.8699734e9, 1.0);
        if (b < 180) {
            sun.diffuse = colour(rise(90, 25, b), rise(90, 15, b), rise(90, 10, b), 240 * s);
            sun.specular = sun.diffuse;
            sun.ambient = colour(rise(80, 10, b), rise(80, 15, b), rise(80, 20, b), 60 * s);
        } else {
            sun.diffuse = colour(fall(270, 40, b), fall(270, 20, b), fall(270, 10, b), 240 * s);
            sun.specular = colour(fall(270, 40, b), fall(270, 10, b), fall(270, 10, b), 240 * s);
            sun.ambient = colour(fall(280, 30, b), fall(280, 20, b), fall(280, 10, b), 60 * s);
        }
    }

    double k;
    if (b < 80 || b >= 280)
        k = 1;
    else if (b < 100)
        k = 1 - (b - 80) / 20;
    else if (b < 260)
        k = 0;
    else
        k = (b - 260) / 20;
    sun.nightAmbient = colour(k, 0.25 * k, 0, 80);
    return sun;
}
