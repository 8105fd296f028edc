#!/usr/bin/env bash
# What the glTF plug-in writes passes the Khronos glTF validator with no errors, and Blender imports
# it back: the files the plug-in wrote through the engine in the gltf_tests run, and the content
# generator's copies written by the same writer.
# Usage: gltf_validate.sh <files...>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
failures=0
if [ ! -d "$here/validator/node_modules/gltf-validator" ]; then
  echo "FAIL: the validator is not installed (scripts/setup.sh runs npm ci in $here/validator)"
  exit 1
fi
for f in "$@"; do
  [ -f "$f" ] || { echo "FAIL: $f was not written"; failures=$((failures + 1)); }
done
node "$here/validator/validate.js" "$@" || failures=$((failures + 1))
for f in "$@"; do
  # Debian 12's Blender importer still names numpy.bool, which its numpy 1.24 no longer has.
  objects=$(blender -b --factory-startup --python-expr "
import bpy, sys, numpy
numpy.bool = bool
bpy.ops.wm.read_factory_settings(use_empty=True)
bpy.ops.import_scene.gltf(filepath=sys.argv[-1])
meshes = [o for o in bpy.data.objects if o.type == 'MESH']
print('IMPORTED', len(bpy.data.objects), len(meshes), sum(len(o.data.polygons) for o in meshes))
" -- "$f" 2>&1 | sed -n 's/^IMPORTED //p')
  echo "$f: Blender imported (objects, meshes, faces): ${objects:-nothing}"
  read -r count meshes faces <<<"${objects:-0 0 0}"
  [ "${meshes:-0}" -gt 0 ] && [ "${faces:-0}" -gt 0 ] || { echo "FAIL: Blender did not import $f"; failures=$((failures + 1)); }
done
echo "gltf_validate: $failures failures"
[ $failures -eq 0 ]
