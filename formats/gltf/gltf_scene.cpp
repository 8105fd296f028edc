// Notes of what a file held that the engine cannot show.
#include "gltf_scene.h"

#include <algorithm>

void scene_note_skipped(SceneTree *tree, const std::string &what)
{
    if (std::find(tree->skipped.begin(), tree->skipped.end(), what) == tree->skipped.end())
        tree->skipped.push_back(what);
}

std::string scene_skipped_text(const SceneTree &tree)
{
    std::string text;
    for (size_t i = 0; i < tree.skipped.size(); ++i) {
        if (i > 0)
            text += i + 1 == tree.skipped.size() ? " and " : ", ";
        text += tree.skipped[i];
    }
    if (!text.empty())
        text = "Not shown: " + text + ".";
    return text;
}
