#!/usr/bin/env bash
# Prints where the built plug-in formats are and how to install them for the current user.
set -euo pipefail
build_dir="${1:-build}"
artefacts="$(cd "$build_dir" && pwd)/Taviro_artefacts/Release"

echo
echo "TAVIRO is built:"
echo "  VST3        $artefacts/VST3/TAVIRO.vst3"
echo "  LV2         $artefacts/LV2/TAVIRO.lv2"
echo "  Standalone  $artefacts/Standalone/TAVIRO"
echo
echo "Install for this user:"
echo "  mkdir -p ~/.vst3 ~/.lv2"
echo "  cp -r \"$artefacts/VST3/TAVIRO.vst3\" ~/.vst3/"
echo "  cp -r \"$artefacts/LV2/TAVIRO.lv2\" ~/.lv2/"
