# Sourced by the command-line test scripts.

# robot_image FILE SIZE: a robot image the archiver accepts (a minimal whole
# ELF program carrying the robot marker), filled with random bytes to SIZE.
robot_image() {
    {
        printf '\x7fELF\x02\x01\x01\x00'; head -c 8 /dev/zero
        printf '\x02\x00\x3e\x00\x01\x00\x00\x00'; head -c 8 /dev/zero
        printf '\x40'; head -c 7 /dev/zero
        head -c 12 /dev/zero
        printf '\x40\x00\x38\x00\x01\x00\x40\x00\x00\x00\x00\x00'
        printf '\x01'; head -c 31 /dev/zero
        printf '\x78'; head -c 7 /dev/zero
        printf '\x78'; head -c 15 /dev/zero
        printf 'Tolvane-Robot-Abbild/1'
        head -c $(($2 - 142)) /dev/urandom
    } >"$1"
}
