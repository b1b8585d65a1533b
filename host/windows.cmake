# The Windows side of this folder.
