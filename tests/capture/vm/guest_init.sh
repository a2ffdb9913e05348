#!/bin/busybox sh
# The test machine's first process: loads the media and 9p modules, mounts
# the host's file system, runs the command from the share inside it, and
# writes the command's exit status back to the share.
/bin/busybox mkdir -p /proc /sys /dev /host /share /usr/bin /sbin /usr/sbin
/bin/busybox --install -s
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev

# A webcam-only vivid: one capture node, one camera input.
while read -r module; do
  case "$module" in
    vivid.ko) insmod "/modules/$module" n_devs=1 node_types=0x1 num_inputs=1 input_types=0x0 ;;
    *) insmod "/modules/$module" ;;
  esac || echo "guest: cannot load $module"
done </modules/load-order

mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000,ro hostroot /host
mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000 share /share
mount -t devtmpfs devtmpfs /host/dev
mount -t proc proc /host/proc
mount -t sysfs sysfs /host/sys
# Room to write in /run (the host's /tmp stays as it is: the program may live there).
mount -t tmpfs tmpfs /host/run

chroot /host /bin/sh -s </share/command
echo "$?" >/share/status
sync
poweroff -f
