"""Release health read from the web server's or CDN's access logs of the installer's run reports."""
