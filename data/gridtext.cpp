// gridtext: being written.
