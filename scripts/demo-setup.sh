#!/usr/bin/env bash
# Prepares the throwaway folders of a demo run in DIR (see scripts/run.sh --demo): the
# application folder, a drive root with its exchange folder, the video folder, the grid of the
# simulated camera's view written by skelvin-tool, and a settings file as after a first start.
# An existing settings file is kept, so a demo folder can be used again.
set -euo pipefail
cd "$(dirname "$0")/.."
demo="${1:?usage: scripts/demo-setup.sh DIR}"
mkdir -p "$demo/app" "$demo/drive/qvio" "$demo/videos" "$demo/setups"

# The grid an operator would build on the simulated camera's 1280 x 720 view.
grid="$demo/setups/Simulated camera.ipt"
build/src/skelvin-tool scene --size 1280x720 --write-grid "$grid" > "$demo/setups/scene.txt"

# Settings as after a first start: the video folder, the grid, the simulated camera at
# 1280 x 720 and 30 frames per second delivering Motion JPEG as a USB camera does (colour
# format 2; its frames go into the file as they come), three-second recordings, and the
# jump's picture and video kept without asking. The size is chosen in the camera's first
# colour format's list (1 is 1280 x 720) and kept when the colour format changes.
settings="$demo/DE05.conf"
if [[ ! -f "$settings" ]]; then
    cat > "$settings" <<EOF
[Settings]
logpath=$demo/videos
SetupFiles=$demo/setups
grid1File=$grid
grids=1
TournamentName=Skelvin demo
tournamentType=normal
PictureSave=Save
VideoSave=Save
device=0
VideoResolution=0
ColorFormat=2
framerate=30
captureTime=3.0
EOF
    chmod 600 "$settings"
fi

