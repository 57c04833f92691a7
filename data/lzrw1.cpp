// lzrw1: being written.
