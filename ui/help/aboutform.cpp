// aboutform: being written.
