# The ready game folder under the build tree: generated pictures, Server.txt, sample profiles.
# Filled in as the tools that make it exist.
