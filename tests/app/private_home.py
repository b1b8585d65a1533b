"""A home of a test's own: the environment variables that point a program's
home and data, settings, state, cache and runtime folders into a fresh folder, so
that no test reads or writes the real ones."""
import os


def private_home(root):
    """Makes the folders under root and returns the variables naming them."""
    folders = {"HOME": root,
               "XDG_DATA_HOME": os.path.join(root, ".local", "share"),
               "XDG_CONFIG_HOME": os.path.join(root, ".config"),
               "XDG_STATE_HOME": os.path.join(root, ".local", "state"),
               "XDG_CACHE_HOME": os.path.join(root, ".cache"),
               "XDG_RUNTIME_DIR": os.path.join(root, "runtime")}
    for path in folders.values():
        os.makedirs(path, exist_ok=True)
    os.chmod(folders["XDG_RUNTIME_DIR"], 0o700)
    # The display's key stays where it was when it was found through HOME.
    if "XAUTHORITY" not in os.environ and "HOME" in os.environ:
        key = os.path.join(os.environ["HOME"], ".Xauthority")
        if os.path.exists(key):
            folders["XAUTHORITY"] = key
    return folders
