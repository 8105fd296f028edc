// Photos of the scene without panels, cursor or text, written as bitmaps beside the program (or in
// the user's documents). Taking one is a state of the frame loop: a short wait, then the capture.
#pragma once

// Print Screen or the photo button: shows the button pressed and asks for one more photo.
void request_photo();
// Forgets the photos asked for (a new run's frames begin).
void forget_photos();
// True when a photo is asked for or under way.
bool photo_wanted();
// One pass of the loop while a photo is wanted: the wait before it with the input thrown away
// (Print Screen pressed meanwhile asks for another), then the photo. True once it is taken.
bool photo_step();
