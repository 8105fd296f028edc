// Building a run's scene after its engine has started: everything every run shows, then what the
// viewer adds to it (the benchmark sets its own date, lights and fog).
#pragma once

// The loading bar, sky, clouds, aircraft and its parts, airport and its rebuild walk, fade layer,
// camera sets and cursors.
void load_scene();
// The viewer's noon of 1 June: sun, sky colours and fog; and the panels.
void dress_for_viewer();
